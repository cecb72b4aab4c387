#!/usr/bin/python3
"""The benchmarks of scripts/bench, run inside its namespaces (loopback only,
private mounts, a process tree that dies with this script, no CAP_SYS_TIME).
Prints figures, each the median of several runs and a ratio to a reference
measured in the same run; asserts nothing.

usage: bench.py BUILD_BIN [--runs N] [--idle SECONDS] [--queries N]
"""

import argparse
import contextlib
import os
import select
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay

TICKS = os.sysconf("SC_CLK_TCK")
DAYTIME_PORT = 13


def sh(*command):
    subprocess.run(command, check=True)


class Processes:
    """Everything started here, stopped in reverse order at the end."""

    def __init__(self):
        self.started = []

    def start(self, command, env=None, **kwargs):
        process = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, **kwargs)
        self.started.append(process)
        return process

    def stop(self, process):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait(5)

    def stop_all(self):
        for process in reversed(self.started):
            self.stop(process)


def wait_for(condition, limit, what):
    deadline = time.monotonic() + limit
    while not condition():
        if time.monotonic() >= deadline:
            sys.exit("bench: %s did not happen within %g s" % (what, limit))
        time.sleep(0.05)


def sandbox(scratch):
    """Loopback only, the probe names on loopback, the system bus and /run private."""
    sh("ip", "link", "set", "lo", "up")
    links = subprocess.run(["ip", "-o", "link", "show"], capture_output=True, text=True).stdout
    if [line.split(": ")[1] for line in links.splitlines()] != ["lo"]:
        sys.exit("bench: refusing to run: the network namespace has more than loopback")
    with open("/proc/self/status") as status:
        bounding = next(int(l.split()[1], 16) for l in status if l.startswith("CapBnd"))
    if bounding & (1 << 25):
        sys.exit("bench: refusing to run: CAP_SYS_TIME is still in the bounding set")
    hosts = os.path.join(scratch, "hosts")
    with open(hosts, "w") as out:
        out.write("127.0.0.1 localhost www.google.com www.microsoft.com\n::1 localhost\n")
    sh("mount", "--bind", hosts, "/etc/hosts")
    # inetd writes its pid file under /run; the machine's system bus lives there.
    sh("mount", "-t", "tmpfs", "-o", "mode=0755", "tmpfs", "/run")
    os.makedirs("/tmp/.X11-unix", exist_ok=True)
    sh("mount", "-t", "tmpfs", "-o", "mode=1777", "tmpfs", "/tmp/.X11-unix")


def user_env(scratch, name):
    """A fresh user: settings, runtime and cache folders of its own."""
    home = os.path.join(scratch, name)
    env = dict(os.environ)
    for key, folder in (("HOME", "home"), ("XDG_CONFIG_HOME", "config"),
                        ("XDG_DATA_HOME", "data"), ("XDG_CACHE_HOME", "cache"),
                        ("XDG_STATE_HOME", "state"), ("XDG_RUNTIME_DIR", "runtime")):
        path = os.path.join(home, folder)
        os.makedirs(path, mode=0o700, exist_ok=True)
        env[key] = path
    env["XDG_CONFIG_DIRS"] = os.path.join(scratch, "xdg")
    env["DBUS_SYSTEM_BUS_ADDRESS"] = "unix:path=" + os.path.join(scratch, "no-system-bus")
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    return env


class MapWatcher:
    """Tells when a top-level window whose name starts with a text is mapped."""

    def __init__(self):
        self.display = xdisplay.Display()
        self.display.screen().root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.display.sync()

    def name_of(self, window):
        try:
            name = window.get_full_text_property(self.display.intern_atom("_NET_WM_NAME"))
            return name or window.get_wm_name() or ""
        except Exception:
            return ""

    def wait_mapped(self, prefix, limit):
        deadline = time.monotonic() + limit
        while time.monotonic() < deadline:
            while self.display.pending_events():
                event = self.display.next_event()
                if event.type == X.MapNotify and self.name_of(event.window).startswith(prefix):
                    return time.perf_counter()
            select.select([self.display.fileno()], [], [], 0.05)
        return None


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def cpu_seconds(pid):
    """CPU time of all the process's threads: nanoseconds from schedstat where
    the kernel keeps it, else clock ticks from stat."""
    try:
        total = 0
        for task in os.listdir("/proc/%d/task" % pid):
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as schedstat:
                total += int(schedstat.read().split()[0])
        return total / 1e9
    except (OSError, ValueError, IndexError):
        with open("/proc/%d/stat" % pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / TICKS


def ratio(value, reference):
    return "%.2f×" % (value / reference) if reference > 0 else "n/a (reference is 0)"


def report(what, unit, values, reference_values, fmt="%.1f"):
    median, reference = statistics.median(values), statistics.median(reference_values)
    runs = " ".join(fmt % v for v in values) if len(values) <= 10 else "%d" % len(values)
    print(("  %-38s " + fmt + " %s (reference " + fmt + " %s)  ratio %s  [runs: %s]") %
          (what, median, unit, reference, unit, ratio(median, reference), runs))


def start_up(processes, scratch, programs, runs):
    watcher = MapWatcher()
    times = {name: [] for name in programs}
    memory = {name: [] for name in programs}
    for run in range(runs):
        for name, (command, title) in programs.items():
            env = user_env(scratch, "start-%s-%d" % (name, run))
            started = time.perf_counter()
            process = processes.start(command, env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
            shown = watcher.wait_mapped(title, 30)
            if shown is None:
                sys.exit("bench: the window of %s was not shown" % name)
            times[name].append((shown - started) * 1000)
            time.sleep(1)  # settled: the first paints and the tray icon are done
            memory[name].append(rss_kib(process.pid) / 1024)
            processes.stop(process)
    return times, memory


def wake_ups(pid):
    """How often the process's threads went to sleep and were woken: the sum of
    their voluntary context switches."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/status" % (pid, task)) as status:
                for line in status:
                    if line.startswith("voluntary_ctxt_switches:"):
                        total += int(line.split()[1])
        except OSError:
            pass  # a thread that ended meanwhile
    return total


def write_settings(env, values):
    """The user's settings file, as regedit would export it."""
    folder = os.path.join(env["XDG_CONFIG_HOME"], "vintrel")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "user.reg"), "w") as out:
        out.write("Windows Registry Editor Version 5.00\n\n"
                  "[HKEY_CURRENT_USER\\SOFTWARE\\Kavrin\\Proxy]\n")
        for name, value in values.items():
            out.write('"%s"="%s"\n' % (name, value))


def idle(processes, scratch, programs, copies, seconds):
    """CPU time per hour and wake-ups per minute of programs left alone, all
    running at once. A program whose title is None starts hidden."""
    watcher = MapWatcher()
    running = {name: [] for name in programs}
    for copy in range(copies):
        for name, (command, title, settings) in programs.items():
            env = user_env(scratch, "idle-%s-%d" % (name, copy))
            write_settings(env, settings)
            process = processes.start(command, env=env, stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL)
            if title is not None and watcher.wait_mapped(title, 30) is None:
                sys.exit("bench: the window of %s was not shown" % name)
            running[name].append(process)
    time.sleep(3)  # past the start-up work and the tray icons' docking
    for name, ps in running.items():
        for process in ps:
            if process.poll() is not None:
                sys.exit("bench: %s ended while idling" % name)
    before = {name: [(cpu_seconds(p.pid), wake_ups(p.pid)) for p in ps]
              for name, ps in running.items()}
    time.sleep(seconds)
    per_hour, per_minute = {}, {}
    for name, ps in running.items():
        after = [(cpu_seconds(p.pid), wake_ups(p.pid)) for p in ps]
        per_hour[name] = [(a[0] - b[0]) * 3600 / seconds for a, b in zip(after, before[name])]
        per_minute[name] = [(a[1] - b[1]) * 60 / seconds for a, b in zip(after, before[name])]
        for process in ps:
            processes.stop(process)
    return per_hour, per_minute


def time_command(command, env, runs, expect):
    times = []
    for _ in range(runs):
        started = time.perf_counter()
        result = subprocess.run(command, env=env, capture_output=True, text=True, timeout=30)
        times.append((time.perf_counter() - started) * 1000)
        if result.returncode != 0 or expect not in result.stdout or not result.stdout:
            sys.exit("bench: %s failed: %s %s" % (" ".join(command), result.stdout,
                                                  result.stderr))
    return times


def stall_line(command, env):
    run = subprocess.run(command, env=env, capture_output=True, text=True, timeout=120)
    lines = run.stdout.splitlines()
    stall = [l.split()[1] for l in lines if l.startswith("stall_ms ")]
    return "%s; longest stall %s ms" % (lines[0] if lines else run.stderr.strip(),
                                         stall[0] if stall else "?")


@contextlib.contextmanager
def black_hole_resolver():
    """The system's resolver pointed at a loopback name server that takes
    every question and answers none (only in the benchmark's mount namespace)."""
    hole = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    hole.bind(("127.0.0.99", 53))
    with tempfile.NamedTemporaryFile("w", suffix=".conf", delete=False) as conf:
        conf.write("nameserver 127.0.0.99\n")
    sh("mount", "--bind", conf.name, "/etc/resolv.conf")
    try:
        yield
    finally:
        sh("umount", "/etc/resolv.conf")
        os.unlink(conf.name)
        hole.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("bin")
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--idle", type=float, default=60)
    parser.add_argument("--idle-copies", type=int, default=3)
    parser.add_argument("--queries", type=int, default=30)
    options = parser.parse_args()
    bin_dir = options.bin
    processes = Processes()
    scratch = tempfile.mkdtemp(prefix="vintrel-bench.")
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("bench: stopped"))
    try:
        sandbox(scratch)
        os.makedirs(os.path.join(scratch, "xdg"))
        read_fd, write_fd = os.pipe()
        processes.start(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
                         "-nolisten", "tcp"], pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        os.close(write_fd)
        ready, _, _ = select.select([read_fd], [], [], 20)
        if not ready:
            sys.exit("bench: Xvfb did not start")
        os.environ["DISPLAY"] = ":" + os.read(read_fd, 16).decode().strip()
        os.environ["LC_ALL"] = "C.UTF-8"
        os.environ["QT_QPA_PLATFORM"] = "xcb"
        os.environ.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
        processes.start(["trayer", "--edge", "top", "--align", "right", "--widthtype",
                         "pixel", "--width", "120", "--height", "24", "--SetDockType", "true"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)

        programs = {
            "vintrel": ([os.path.join(bin_dir, "vintrel")], "Vintrel v2.6"),
            "minimal": ([os.path.join(bin_dir, "minimal_tray_app")], "Minimal tray app"),
        }
        print("start-up and memory under Xvfb with trayer, vintrel against a Qt Widgets "
              "program with one window and one tray icon:")
        times, memory = start_up(processes, scratch, programs, options.runs)
        report("start-up to the window shown", "ms", times["vintrel"], times["minimal"])
        report("resident memory 1 s after shown", "MiB", memory["vintrel"], memory["minimal"])

        print("idling over %g s (%d copies each), vintrel against the same Qt program, "
              "window shown and hidden in the notification area:" %
              (options.idle, options.idle_copies))
        minimal = os.path.join(bin_dir, "minimal_tray_app")
        idlers = {
            "vintrel shown": ([os.path.join(bin_dir, "vintrel")], "Vintrel v2.6", {}),
            "minimal shown": ([minimal], "Minimal tray app", {}),
            "vintrel hidden": ([os.path.join(bin_dir, "vintrel")], None,
                               {"StartMinimized": "1"}),
            "minimal hidden": ([minimal, "--hidden"], None, {}),
        }
        per_hour, per_minute = idle(processes, scratch, idlers, options.idle_copies,
                                    options.idle)
        for state in ("hidden", "shown"):
            report("%s: CPU time per hour" % state, "s", per_hour["vintrel " + state],
                   per_hour["minimal " + state], "%.3f")
            report("%s: wake-ups per minute" % state, "", per_minute["vintrel " + state],
                   per_minute["minimal " + state], "%.1f")

        print("one query against loopback servers, vintrel against rdate -p (RFC 868, "
              "openbsd-inetd's built-in time service):")
        env = user_env(scratch, "query")
        daytime = processes.start([os.path.join(bin_dir, "daytime_server"), "--port",
                                   str(DAYTIME_PORT)], stdout=subprocess.PIPE, text=True)
        if not daytime.stdout.readline().startswith("ready"):
            sys.exit("bench: the daytime server did not start")
        inetd_conf = os.path.join(scratch, "inetd.conf")
        with open(inetd_conf, "w") as out:
            out.write("127.0.0.1:time stream tcp nowait root internal\n")
        processes.start(["/usr/sbin/inetd", "-d", inetd_conf], stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL)
        rdate = ["rdate", "-p", "127.0.0.1"]
        wait_for(lambda: subprocess.run(rdate, capture_output=True).returncode == 0, 10,
                 "inetd's time service")
        rdate_ms = time_command(rdate, env, options.queries, "")
        sync = [os.path.join(bin_dir, "vintrel-sync"), "--no-probe", "--direct", "--server",
                "127.0.0.1"]
        sync_ms = time_command(sync, env, options.queries, "server UTC")
        report("vintrel-sync query + parse (process)", "ms", sync_ms, rdate_ms, "%.2f")
        bench = subprocess.run([os.path.join(bin_dir, "correction_bench"), "200",
                                str(DAYTIME_PORT)], env=env, capture_output=True, text=True,
                               timeout=120)
        for line in bench.stdout.splitlines()[:2]:
            print("  " + line)
        in_process = float(bench.stdout.split("median_ms")[1])
        print("  %-38s %.3f ms against rdate -p's %.2f ms as a process: ratio %s" %
              ("in-process query + parse + correction", in_process,
               statistics.median(rdate_ms), ratio(in_process, statistics.median(rdate_ms))))

        print("event loop during a correction that waits (bench/correction_stall_bench.cpp):")
        print("  " + stall_line([os.path.join(bin_dir, "correction_stall_bench"), "server"], env))
        with black_hole_resolver():
            print("  " + stall_line([os.path.join(bin_dir, "correction_stall_bench"), "resolver"],
                                    env))

        print("precise correction against a simulated server (bench/precise_sync_bench.cpp):")
        precise = subprocess.run([os.path.join(bin_dir, "precise_sync_bench"), "200"],
                                 capture_output=True, text=True, timeout=300, check=True)
        print(precise.stdout)
    finally:
        processes.stop_all()
    return 0


if __name__ == "__main__":
    sys.exit(main())
