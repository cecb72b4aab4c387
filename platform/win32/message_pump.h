#pragma once

namespace vintrel {

/// Handles the calling thread's messages that are waiting, without waiting
/// for more. A quit request stays queued for the outermost loop; answers
/// false when one is waiting.
bool ProcessWin32Messages();

}  // namespace vintrel
