// The requests one process sends to another about its published windows: one fixed-size
// request and one fixed-size reply per connection. Everything read is checked before use.
#pragma once

#include "windows.h"

#include <cstdint>
#include <string>

namespace published {

constexpr uint32_t kMagic = 0x4E495751; // "QWIN"
constexpr uint32_t kMaxWindows = 64;
constexpr uint32_t kMaxText = 256;

enum class Op : uint32_t { List = 1, IsWindow = 2, ClassName = 3, WindowLong = 4, Post = 5, Raise = 6 };

struct Request {
    uint32_t magic = kMagic;
    uint32_t op = 0;
    uint32_t hwnd = 0;
    uint32_t msg = 0;
    uint64_t wParam = 0;
    int64_t lParam = 0;
    int32_t index = 0;
    uint32_t reserved = 0;
};

struct Reply {
    uint32_t magic = kMagic;
    int32_t ok = 0;
    int64_t value = 0;
    uint32_t count = 0;
    uint32_t reserved = 0;
    uint32_t windows[kMaxWindows] = {};
    char16_t text[kMaxText] = {};
};

// The folder of the sockets, made private to the user on first use; empty without
// XDG_RUNTIME_DIR.
std::string SocketFolder();
std::string SocketPath(pid_t pid);

// Sends the request to the process and reads its reply; false when the process does not answer.
// A socket left by a dead process is removed.
bool Ask(pid_t pid, const Request& request, Reply& reply);

// Serves one connection on the listening thread.
void Serve(int connection);

// A message posted to a window that asks its own thread to raise it.
constexpr UINT kRaiseMessage = 0x0399;

} // namespace published
