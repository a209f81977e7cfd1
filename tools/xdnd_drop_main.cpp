// xdnd-drop: drops files on a top-level X window the way a Linux file manager does, through the
// XDND protocol (version 5 or the target's lower one) with a text/uri-list of file:// URIs.
// Wine turns such a drop into an OLE drop of CF_HDROP data on the window's drop target, so the
// Windows tests use this to drop onto their own windows from outside the process.
//
//   xdnd-drop --title TITLE [--x X --y Y] [--action copy|move|link] [--timeout SECONDS] FILE...
//
// X and Y are relative to the window (default: its centre). Exit status: 0 when the drop was
// delivered (the target finished it, or accepted it and was sent the drop), 1 usage or display
// error, 2 no window with that title, 3 the window is not XDND-aware, 4 the target refused,
// 5 timed out. Never waits longer than the timeout (default 10 s).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/select.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Options {
  std::string title;
  bool at_point = false;
  int x = 0, y = 0;
  std::string action = "copy";
  double timeout = 10;
  std::vector<std::string> files;
};

struct Atoms {
  Atom aware, enter, position, status, leave, drop, finished, selection, type_list;
  Atom action_copy, action_move, action_link, uri_list, targets, net_wm_name, utf8;
};

using Clock = std::chrono::steady_clock;

int usage() {
  std::fprintf(stderr,
               "usage: xdnd-drop --title TITLE [--x X --y Y] [--action copy|move|link] [--timeout SECONDS] FILE...\n");
  return 1;
}

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (a == "--title") {
      if (!value(o.title)) return false;
    } else if (a == "--x" || a == "--y") {
      if (!value(v)) return false;
      (a == "--x" ? o.x : o.y) = std::atoi(v.c_str());
      o.at_point = true;
    } else if (a == "--action") {
      if (!value(o.action) || (o.action != "copy" && o.action != "move" && o.action != "link")) return false;
    } else if (a == "--timeout") {
      if (!value(v)) return false;
      o.timeout = std::atof(v.c_str());
    } else if (a.rfind("--", 0) == 0) {
      return false;
    } else {
      o.files.push_back(a);
    }
  }
  return !o.title.empty() && !o.files.empty() && o.timeout > 0;
}

// file:// URI of a path, made absolute; bytes outside the unreserved set are %-escaped.
std::string file_uri(const std::string& path) {
  std::string absolute = path;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved)) {
    absolute = resolved;
  } else if (!path.empty() && path[0] != '/') {
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof cwd)) absolute = std::string(cwd) + "/" + path;
  }
  std::string uri = "file://";
  for (unsigned char c : absolute) {
    if (std::isalnum(c) || std::strchr("/-._~", c)) {
      uri += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      uri += escaped;
    }
  }
  return uri;
}

std::string window_title(Display* d, Window w, const Atoms& atoms) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, w, atoms.net_wm_name, 0, 1024, False, atoms.utf8, &type, &format, &count, &after, &data) ==
          Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
    if (!title.empty()) return title;
  }
  char* name = nullptr;
  if (XFetchName(d, w, &name) && name) {
    title = name;
    XFree(name);
  }
  return title;
}

Window find_titled(Display* d, Window w, const std::string& title, const Atoms& atoms) {
  if (window_title(d, w, atoms) == title) return w;
  Window root, parent, *children = nullptr;
  unsigned int n = 0;
  if (!XQueryTree(d, w, &root, &parent, &children, &n)) return 0;
  Window found = 0;
  for (unsigned int i = n; i-- > 0 && !found;) found = find_titled(d, children[i], title, atoms);
  if (children) XFree(children);
  return found;
}

// The XDND version the window announces, or 0.
long xdnd_version(Display* d, Window w, const Atoms& atoms) {
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  long version = 0;
  if (XGetWindowProperty(d, w, atoms.aware, 0, 1, False, AnyPropertyType, &type, &format, &count, &after, &data) ==
          Success &&
      data) {
    if (count == 1 && format == 32) version = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
    XFree(data);
  }
  return version;
}

void send_client_message(Display* d, Window target, Atom type, long l0, long l1, long l2, long l3, long l4) {
  XEvent e = {};
  e.xclient.type = ClientMessage;
  e.xclient.display = d;
  e.xclient.window = target;
  e.xclient.message_type = type;
  e.xclient.format = 32;
  e.xclient.data.l[0] = l0;
  e.xclient.data.l[1] = l1;
  e.xclient.data.l[2] = l2;
  e.xclient.data.l[3] = l3;
  e.xclient.data.l[4] = l4;
  XSendEvent(d, target, False, NoEventMask, &e);
  XFlush(d);
}

// Waits for the next event until the deadline; false on timeout.
bool next_event(Display* d, Clock::time_point deadline, XEvent& e) {
  while (!XPending(d)) {
    auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(ConnectionNumber(d), &fds);
    timeval tv = {static_cast<time_t>(left / 1000000), static_cast<suseconds_t>(left % 1000000)};
    select(ConnectionNumber(d) + 1, &fds, nullptr, nullptr, &tv);
  }
  XNextEvent(d, &e);
  return true;
}

// A server timestamp, from a property change on our own window.
Time server_time(Display* d, Window w, Clock::time_point deadline) {
  XSelectInput(d, w, PropertyChangeMask);
  unsigned char nothing = 0;
  XChangeProperty(d, w, XA_WM_NAME, XA_STRING, 8, PropModeAppend, &nothing, 0);
  XEvent e;
  while (next_event(d, deadline, e)) {
    if (e.type == PropertyNotify && e.xproperty.window == w) return e.xproperty.time;
  }
  return CurrentTime;
}

// Answers a request to convert the drag selection: the URI list, or the list of targets.
void answer_selection_request(Display* d, const XSelectionRequestEvent& r, const Atoms& atoms, const std::string& uris) {
  XEvent reply = {};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = d;
  reply.xselection.requestor = r.requestor;
  reply.xselection.selection = r.selection;
  reply.xselection.target = r.target;
  reply.xselection.time = r.time;
  reply.xselection.property = None;
  const Atom property = r.property != None ? r.property : r.target;
  if (r.target == atoms.uri_list) {
    XChangeProperty(d, r.requestor, property, atoms.uri_list, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(uris.data()), static_cast<int>(uris.size()));
    reply.xselection.property = property;
  } else if (r.target == atoms.targets) {
    Atom list[2] = {atoms.targets, atoms.uri_list};
    XChangeProperty(d, r.requestor, property, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(list), 2);
    reply.xselection.property = property;
  }
  XSendEvent(d, r.requestor, False, NoEventMask, &reply);
  XFlush(d);
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) return usage();
  const Clock::time_point deadline =
      Clock::now() + std::chrono::microseconds(static_cast<long long>(o.timeout * 1e6));

  Display* d = XOpenDisplay(nullptr);
  if (!d) {
    std::fprintf(stderr, "xdnd-drop: cannot open the display\n");
    return 1;
  }
  Atoms atoms = {
      XInternAtom(d, "XdndAware", False),        XInternAtom(d, "XdndEnter", False),
      XInternAtom(d, "XdndPosition", False),     XInternAtom(d, "XdndStatus", False),
      XInternAtom(d, "XdndLeave", False),        XInternAtom(d, "XdndDrop", False),
      XInternAtom(d, "XdndFinished", False),     XInternAtom(d, "XdndSelection", False),
      XInternAtom(d, "XdndTypeList", False),     XInternAtom(d, "XdndActionCopy", False),
      XInternAtom(d, "XdndActionMove", False),   XInternAtom(d, "XdndActionLink", False),
      XInternAtom(d, "text/uri-list", False),    XInternAtom(d, "TARGETS", False),
      XInternAtom(d, "_NET_WM_NAME", False),     XInternAtom(d, "UTF8_STRING", False),
  };
  const Window root = DefaultRootWindow(d);

  // The window may still be on its way up.
  Window target = 0;
  while (!(target = find_titled(d, root, o.title, atoms))) {
    if (Clock::now() >= deadline) {
      std::fprintf(stderr, "xdnd-drop: no window titled \"%s\"\n", o.title.c_str());
      return 2;
    }
    usleep(50000);
  }
  long version = 0;
  while ((version = xdnd_version(d, target, atoms)) < 3) {
    if (Clock::now() >= deadline) {
      std::fprintf(stderr, "xdnd-drop: the window is not XDND-aware\n");
      return 3;
    }
    usleep(50000);
  }
  if (version > 5) version = 5;

  XWindowAttributes attributes;
  XGetWindowAttributes(d, target, &attributes);
  int root_x = 0, root_y = 0;
  Window child;
  XTranslateCoordinates(d, target, root, o.at_point ? o.x : attributes.width / 2,
                        o.at_point ? o.y : attributes.height / 2, &root_x, &root_y, &child);

  std::string uris;
  for (const std::string& f : o.files) uris += file_uri(f) + "\r\n";
  const Atom action = o.action == "move" ? atoms.action_move : (o.action == "link" ? atoms.action_link : atoms.action_copy);

  // Our side of the drag: an unmapped window that owns the drag selection.
  Window source = XCreateSimpleWindow(d, root, 0, 0, 1, 1, 0, 0, 0);
  const Time now = server_time(d, source, deadline);
  XSetSelectionOwner(d, atoms.selection, source, now);

  send_client_message(d, target, atoms.enter, static_cast<long>(source), version << 24, static_cast<long>(atoms.uri_list), 0, 0);
  send_client_message(d, target, atoms.position, static_cast<long>(source), 0, (root_x << 16) | (root_y & 0xFFFF),
                      static_cast<long>(now), static_cast<long>(action));

  enum { kWaitingForStatus, kWaitingForFinish } state = kWaitingForStatus;
  XEvent e;
  while (next_event(d, deadline, e)) {
    if (e.type == SelectionRequest) {
      answer_selection_request(d, e.xselectionrequest, atoms, uris);
    } else if (e.type == ClientMessage && e.xclient.message_type == atoms.status && state == kWaitingForStatus) {
      if (!(e.xclient.data.l[1] & 1)) {
        send_client_message(d, target, atoms.leave, static_cast<long>(source), 0, 0, 0, 0);
        std::fprintf(stderr, "xdnd-drop: the target refused the drop\n");
        return 4;
      }
      send_client_message(d, target, atoms.drop, static_cast<long>(source), 0, static_cast<long>(now), 0, 0);
      state = kWaitingForFinish;
    } else if (e.type == ClientMessage && e.xclient.message_type == atoms.finished) {
      XCloseDisplay(d);
      return 0;
    }
  }
  if (state == kWaitingForFinish) {
    // Accepted and dropped, but no finish came: a version 2 target sends none.
    XCloseDisplay(d);
    return 0;
  }
  send_client_message(d, target, atoms.leave, static_cast<long>(source), 0, 0, 0, 0);
  std::fprintf(stderr, "xdnd-drop: timed out\n");
  return 5;
}
