// A forked copy of the test process that runs one piece of the test and
// talks back through a pipe, for what a test cannot do to itself: be killed
// half-way, or run under resource limits of its own.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace wellenschau::test {

class TForkedChild {
public:
    // What the child runs. It writes to the parent through `pipe`; what it
    // returns is its exit code. It never returns into the test: an exception
    // that leaves it ends the child with exit code 127.
    using TBody = std::function<int(int pipe)>;

    // Forks and starts `body` in the child; throws when the pipe or the
    // fork cannot be made.
    explicit TForkedChild(const TBody& body);
    // Kills the child if it still runs and collects it.
    ~TForkedChild();
    TForkedChild(const TForkedChild&) = delete;
    TForkedChild& operator=(const TForkedChild&) = delete;

    // Reads one byte the child wrote; false once the child closed the pipe.
    bool ReadByte(char& byte);
    // Reads everything the child writes until it closes the pipe.
    std::string ReadAll();
    // Sends `signal` to the child.
    void Kill(int signal);
    // Waits until the child has ended; its wait status (see waitpid).
    int Wait();

private:
    pid_t FChild = -1;
    int FPipe = -1;  // the parent's reading end
    bool FCollected = false;
    int FStatus = 0;
};

}  // namespace wellenschau::test
