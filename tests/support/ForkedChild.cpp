#include "support/ForkedChild.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace wellenschau::test {

namespace {

[[noreturn]] void RunChild(const TForkedChild::TBody& body, int pipe) {
    int code = 127;
    try {
        code = body(pipe);
    } catch (...) {
    }
    ::close(pipe);
    // _exit, not exit: the child must not run the parent's clean-up.
    ::_exit(code);
}

}  // namespace

TForkedChild::TForkedChild(const TBody& body) {
    int ends[2];
    if (::pipe(ends) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
    FChild = ::fork();
    if (FChild < 0) {
        const int error = errno;
        ::close(ends[0]);
        ::close(ends[1]);
        throw std::system_error(error, std::generic_category(), "fork");
    }
    if (FChild == 0) {
        ::close(ends[0]);
        RunChild(body, ends[1]);
    }
    ::close(ends[1]);
    FPipe = ends[0];
}

TForkedChild::~TForkedChild() {
    if (!FCollected) {
        Kill(SIGKILL);
        Wait();
    }
    ::close(FPipe);
}

bool TForkedChild::ReadByte(char& byte) { return ::read(FPipe, &byte, 1) == 1; }

std::string TForkedChild::ReadAll() {
    std::string text;
    char buffer[512];
    for (ssize_t got; (got = ::read(FPipe, buffer, sizeof(buffer))) > 0;) text.append(buffer, got);
    return text;
}

void TForkedChild::Kill(int signal) {
    if (!FCollected) ::kill(FChild, signal);
}

int TForkedChild::Wait() {
    if (!FCollected) {
        ::waitpid(FChild, &FStatus, 0);
        FCollected = true;
    }
    return FStatus;
}

}  // namespace wellenschau::test
