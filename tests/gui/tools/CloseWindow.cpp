// SPDX-License-Identifier: GPL-3.0-or-later
// close_window TITLE SECONDS: waits up to SECONDS for a window titled TITLE
// on the X display and asks it to close, as a window manager's close button
// does (the WM_DELETE_WINDOW message). 0 once asked; 1 when no such window
// showed in time; 2 without a display.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::string TextProperty(Display* D, Window W, Atom Property) {
  Atom Type;
  int Format;
  unsigned long Count, After;
  unsigned char* Data = nullptr;
  std::string Text;
  if (XGetWindowProperty(D, W, Property, 0, 1024, False, AnyPropertyType, &Type, &Format, &Count,
                         &After, &Data) == Success &&
      Data && Format == 8)
    Text.assign(reinterpret_cast<const char*>(Data), Count);
  if (Data) XFree(Data);
  return Text;
}

bool TakesDeleteWindow(Display* D, Window W, Atom DeleteWindow) {
  Atom* Protocols = nullptr;
  int Count = 0;
  bool Takes = false;
  if (XGetWMProtocols(D, W, &Protocols, &Count)) {
    for (int I = 0; I < Count; ++I) Takes = Takes || Protocols[I] == DeleteWindow;
    XFree(Protocols);
  }
  return Takes;
}

// A mapped window under Parent titled Title that takes WM_DELETE_WINDOW; 0
// when there is none.
Window Find(Display* D, Window Parent, const std::string& Title, Atom NetName, Atom DeleteWindow) {
  Window Root, Up, *Children = nullptr;
  unsigned Count = 0;
  if (!XQueryTree(D, Parent, &Root, &Up, &Children, &Count)) return 0;
  Window Found = 0;
  for (unsigned I = 0; I < Count && !Found; ++I) {
    const Window W = Children[I];
    XWindowAttributes A;
    if (XGetWindowAttributes(D, W, &A) && A.map_state == IsViewable &&
        (TextProperty(D, W, NetName) == Title || TextProperty(D, W, XA_WM_NAME) == Title) &&
        TakesDeleteWindow(D, W, DeleteWindow))
      Found = W;
    else
      Found = Find(D, W, Title, NetName, DeleteWindow);
  }
  if (Children) XFree(Children);
  return Found;
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: close_window TITLE SECONDS\n");
    return 2;
  }
  const std::string Title = argv[1];
  const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[2]));
  Display* D = XOpenDisplay(nullptr);
  if (!D) {
    std::fprintf(stderr, "close_window: no X display\n");
    return 2;
  }
  const Atom Protocols = XInternAtom(D, "WM_PROTOCOLS", False);
  const Atom DeleteWindow = XInternAtom(D, "WM_DELETE_WINDOW", False);
  const Atom NetName = XInternAtom(D, "_NET_WM_NAME", False);
  Window W = 0;
  while (!(W = Find(D, DefaultRootWindow(D), Title, NetName, DeleteWindow))) {
    if (std::chrono::steady_clock::now() > Deadline) {
      std::fprintf(stderr, "close_window: no window \"%s\" within %s s\n", argv[1], argv[2]);
      XCloseDisplay(D);
      return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  // Let the program finish what it does on showing the window first.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  XEvent E{};
  E.xclient.type = ClientMessage;
  E.xclient.window = W;
  E.xclient.message_type = Protocols;
  E.xclient.format = 32;
  E.xclient.data.l[0] = static_cast<long>(DeleteWindow);
  E.xclient.data.l[1] = CurrentTime;
  XSendEvent(D, W, False, NoEventMask, &E);
  XCloseDisplay(D);
  return 0;
}
