// SPDX-License-Identifier: GPL-3.0-or-later
// How the window's process keeps the memory it frees.
#pragma once

namespace quorvin::gui {

// Freed memory, large blocks included, stays with the process for the next
// request instead of going back to the system at once. The text pane gives
// back the whole text of a display when it is cleared and asks for as much
// again at the next one; memory kept is reused as it is, while memory fresh
// from the system costs a page fault for every page, which on a virtual
// machine is most of a display's time. Call at start-up, before the window
// is made.
void SetUpProcessMemory();

// While Large is true, very large blocks get mappings of their own: they grow
// by remapping rather than by copying, and go straight back to the system
// when freed. For the time a very long text is shown.
void MapLargeBlocks(bool Large);

// Gives the free memory the heap holds back to the system.
void ReleaseFreedMemory();

} // namespace quorvin::gui
