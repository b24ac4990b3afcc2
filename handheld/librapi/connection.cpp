#include "connection.h"

#include <atomic>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>

namespace rapi {

using namespace handheld;

namespace {

thread_local DWORD deviceError = ERROR_SUCCESS;
thread_local HRESULT connectionError = S_OK;

struct Link {
    std::mutex lock; // one request and its reply at a time
    int fd = -1;
    bool started = false;
    std::atomic<bool> stopping{false};
    std::thread connector;
    HANDLE event = nullptr;

    // The program unloads us after CeRapiUninit, or exits with a connection still up.
    ~Link()
    {
        stopping = true;
        if (connector.joinable())
            connector.join();
        if (fd >= 0)
            close(fd);
    }
};

Link& link()
{
    static Link instance;
    return instance;
}

// Waits for one message, giving up when the link is being stopped.
bool receiveUnlessStopped(int fd, std::vector<uint8_t>& reply)
{
    for (;;) {
        if (link().stopping)
            return false;
        pollfd ready{fd, POLLIN, 0};
        const int result = poll(&ready, 1, 20);
        if (result > 0)
            return ReceiveMessage(fd, reply) == ReceiveResult::Ok;
        if (result < 0 && errno != EINTR)
            return false;
    }
}

// Connects and says hello; the connected socket once the device has answered, else -1.
int greet()
{
    const int fd = ConnectToDevice(RuntimeFolder());
    if (fd < 0)
        return -1;
    std::vector<uint8_t> reply;
    if (SendMessage(fd, Request(Op::Hello).u32(kProtocolVersion).payload()) && receiveUnlessStopped(fd, reply)) {
        MessageReader reader(reply);
        if (reader.u32() == ERROR_SUCCESS && reader.complete())
            return fd;
    }
    close(fd);
    return -1;
}

void connectInBackground(RAPIINIT* init)
{
    Link& l = link();
    while (!l.stopping) {
        const int fd = greet();
        if (fd >= 0) {
            std::lock_guard guard(l.lock);
            l.fd = fd;
            init->hrRapiInit = S_OK;
            SetEvent(l.event);
            return;
        }
        for (int i = 0; i < 5 && !l.stopping; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void dropConnection(Link& l)
{
    if (l.fd >= 0)
        close(l.fd);
    l.fd = -1;
}

} // namespace

void SetErrors(DWORD device, HRESULT connection)
{
    deviceError = device;
    connectionError = connection;
}

DWORD DeviceError()
{
    return deviceError;
}

HRESULT ConnectionError()
{
    return connectionError;
}

HRESULT Start(RAPIINIT* init)
{
    if (!init || init->cbSize != sizeof(RAPIINIT))
        return E_INVALIDARG;
    Link& l = link();
    if (l.started)
        return E_UNEXPECTED; // one connection per program; CeRapiUninit first
    l.event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!l.event)
        return E_OUTOFMEMORY;
    l.started = true;
    l.stopping = false;
    init->heRapiInit = l.event;
    init->hrRapiInit = E_FAIL;
    l.connector = std::thread(connectInBackground, init);
    return S_OK;
}

HRESULT ConnectNow()
{
    Link& l = link();
    if (l.started)
        return E_UNEXPECTED;
    l.stopping = false;
    const int fd = greet();
    if (fd < 0)
        return HRESULT_FROM_WIN32(ERROR_NOT_CONNECTED);
    std::lock_guard guard(l.lock);
    l.started = true;
    l.fd = fd;
    return S_OK;
}

HRESULT Stop()
{
    Link& l = link();
    if (!l.started)
        return E_FAIL;
    l.stopping = true;
    if (l.connector.joinable())
        l.connector.join();
    std::lock_guard guard(l.lock);
    dropConnection(l);
    if (l.event)
        CloseHandle(l.event);
    l.event = nullptr;
    l.started = false;
    return S_OK;
}

bool Call(const MessageWriter& request, std::vector<uint8_t>& reply, MessageReader& reader)
{
    Link& l = link();
    std::lock_guard guard(l.lock);
    if (l.fd < 0) {
        SetErrors(ERROR_NOT_CONNECTED, HRESULT_FROM_WIN32(ERROR_NOT_CONNECTED));
        return false;
    }
    if (!SendMessage(l.fd, request.payload()) || ReceiveMessage(l.fd, reply) != ReceiveResult::Ok) {
        dropConnection(l); // the device is gone; every later call fails the same way
        SetErrors(ERROR_NOT_CONNECTED, HRESULT_FROM_WIN32(ERROR_BROKEN_PIPE));
        return false;
    }
    reader = MessageReader(reply);
    const DWORD error = reader.u32();
    if (!reader.ok()) {
        SetErrors(ERROR_INVALID_DATA, E_FAIL);
        return false;
    }
    SetErrors(error, S_OK);
    return true;
}

void BadReply()
{
    SetErrors(ERROR_INVALID_DATA, E_FAIL);
}

void NotSupported()
{
    SetErrors(ERROR_CALL_NOT_IMPLEMENTED, E_NOTIMPL);
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
}

} // namespace rapi
