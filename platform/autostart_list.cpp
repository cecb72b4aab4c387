#include "platform/autostart_list.h"

namespace vintrel {
namespace {
AutoStartLists* g_installed = nullptr;
}

AutoStartLists& autoStartLists() {
    return g_installed != nullptr ? *g_installed : realAutoStartLists();
}

void installAutoStartLists(AutoStartLists* lists) {
    g_installed = lists;
}

}  // namespace vintrel
