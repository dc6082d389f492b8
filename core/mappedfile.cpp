#include "mappedfile.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <csignal>
#include <mutex>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// The mappings in use, for the bus-error handler to recognise: it may only read these atomics.
struct GuardedRange
{
    std::atomic<char *> begin { nullptr };
    std::atomic<size_t> length { 0 };
    std::atomic<bool> cut { false };
};

std::array<GuardedRange, 8> guarded;
struct sigaction previousAction;
size_t pageSize = 0;

void restoreAndRepeat()
{
    struct sigaction fallback = {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(SIGBUS, &fallback, nullptr);
}

void onBusError(int signal, siginfo_t *info, void *context)
{
    char *const at = static_cast<char *>(info->si_addr);
    for (GuardedRange &range : guarded) {
        char *const begin = range.begin.load();
        const size_t length = range.length.load();
        if (begin == nullptr || at < begin || at >= begin + length)
            continue;
        // The file ends before this page now. Zero pages in place of the rest let the access
        // and every later one complete; the owner learns of it from the flag.
        char *const page = begin + (size_t(at - begin) & ~(pageSize - 1));
        mmap(page, size_t(begin + length - page), PROT_READ,
             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        range.cut.store(true);
        return;
    }
    // Not one of ours: whoever handled bus errors before does, or the access is repeated under
    // the default action and ends the process, as it would have without this handler.
    if ((previousAction.sa_flags & SA_SIGINFO) != 0)
        previousAction.sa_sigaction(signal, info, context);
    else if (previousAction.sa_handler != SIG_DFL && previousAction.sa_handler != SIG_IGN)
        previousAction.sa_handler(signal);
    else
        restoreAndRepeat();
}

void installHandler()
{
    pageSize = size_t(sysconf(_SC_PAGESIZE));
    struct sigaction action = {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &previousAction);
}

// Walking a large table takes about as long as the faults that map its pages; taking those on
// a second thread, a quarter megabyte at a time, leaves the walk reading pages already there.
constexpr size_t kAheadChunk = 256 * 1024;
constexpr size_t kWorthMappingAhead = 4 * kAheadChunk;

void mapAhead(std::stop_token stop, char *bytes, size_t length)
{
#ifdef MADV_POPULATE_READ
    for (size_t at = 0; at < length && !stop.stop_requested(); at += kAheadChunk) {
        // Fails for an older kernel or a file cut short; the walk then faults the pages itself.
        if (madvise(bytes + at, std::min(kAheadChunk, length - at), MADV_POPULATE_READ) != 0)
            return;
    }
#else
    Q_UNUSED(stop);
    Q_UNUSED(bytes);
    Q_UNUSED(length);
#endif
}

} // namespace

MappedFile::MappedFile(int handle, qint64 size)
{
    if (handle < 0 || size <= 0)
        return;
    static std::once_flag installed;
    std::call_once(installed, installHandler);

    for (size_t i = 0; i < guarded.size() && m_guard < 0; ++i) {
        char *expected = nullptr;
        // Claimed with a placeholder, so that no other mapping takes the range meanwhile.
        if (guarded[i].begin.compare_exchange_strong(expected, reinterpret_cast<char *>(1)))
            m_guard = int(i);
    }
    if (m_guard < 0)
        return;
    void *const mapping = mmap(nullptr, size_t(size), PROT_READ, MAP_PRIVATE, handle, 0);
    GuardedRange &range = guarded[size_t(m_guard)];
    if (mapping == MAP_FAILED) {
        range.begin.store(nullptr);
        m_guard = -1;
        return;
    }
    m_bytes = static_cast<char *>(mapping);
    m_length = size_t(size);
    range.cut.store(false);
    range.length.store(m_length);
    range.begin.store(m_bytes);
    if (m_length >= kWorthMappingAhead)
        m_ahead = std::jthread(mapAhead, m_bytes, m_length);
}

MappedFile::~MappedFile()
{
    if (!isMapped())
        return;
    if (m_ahead.joinable()) {
        m_ahead.request_stop();
        m_ahead.join();
    }
    GuardedRange &range = guarded[size_t(m_guard)];
    range.begin.store(nullptr);
    range.length.store(0);
    munmap(m_bytes, m_length);
}

bool MappedFile::cutShort() const
{
    return isMapped() && guarded[size_t(m_guard)].cut.load();
}
