// Runs a program as a child process and collects its standard output, within a time limit: a
// child that outlives it is killed and reported as timed out. Its standard input is /dev/null
// unless the run asks for a closed stream or a pseudo-terminal of its own, at which the run can
// type answers to the program's prompts.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

struct ProcessResult {
    std::string output;  // at a terminal, with what was typed spliced in where it was typed
    int exitCode = -1;   // -1 when it did not exit normally
    bool timedOut = false;
};

struct Streams {
    enum Input { kNullInput, kClosedInput, kTerminalInput } input = kNullInput;
    enum Output { kPipe, kClosedOutput, kReaderGone, kTerminalOutput } output = kPipe;
    // Typed at the terminal one by one, each once the output holds one more prompt and then
    // stays quiet for a moment, as a user answers a program that waits.
    std::vector<std::string> typed = {};
    std::string prompt = {};
};

inline ProcessResult RunProcess(const std::vector<std::string>& argv,
                                std::chrono::milliseconds limit = std::chrono::seconds(20),
                                const Streams& streams = {}) {
    ProcessResult result;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return result;
    // A terminal of the child's own, which echoes nothing and leaves line ends as written, so
    // the output reads as through a pipe; line editing and Ctrl-D work as at any terminal.
    int typist = -1, terminal = -1;
    if (streams.input == Streams::kTerminalInput || streams.output == Streams::kTerminalOutput) {
        termios modes = {};
        if (openpty(&typist, &terminal, nullptr, nullptr, nullptr) != 0) return result;
        tcgetattr(terminal, &modes);
        modes.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        modes.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        tcsetattr(terminal, TCSANOW, &modes);
        fcntl(typist, F_SETFD, FD_CLOEXEC);
        fcntl(terminal, F_SETFD, FD_CLOEXEC);
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (streams.input == Streams::kNullInput) {
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    } else if (streams.input == Streams::kClosedInput) {
        posix_spawn_file_actions_addclose(&actions, STDIN_FILENO);
    } else {
        posix_spawn_file_actions_adddup2(&actions, terminal, STDIN_FILENO);
    }
    if (streams.output == Streams::kClosedOutput) {
        posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
    } else {
        posix_spawn_file_actions_adddup2(
            &actions, streams.output == Streams::kTerminalOutput ? terminal : pipeFds[1],
            STDOUT_FILENO);
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (terminal >= 0) close(terminal);  // the child's end: once it exits, reads here fail
    // The output comes from the terminal or the pipe; a reader that has gone reads nothing.
    int source = streams.output == Streams::kTerminalOutput ? typist : pipeFds[0];
    if (streams.output == Streams::kReaderGone) {
        close(pipeFds[0]);
        source = -1;
    }
    if (spawned != 0) {
        if (source == pipeFds[0]) close(pipeFds[0]);
        if (typist >= 0) close(typist);
        return result;
    }

    // Every wait below ends by the deadline. A signal that interrupts one is no time-out: the
    // wait goes on for what is left.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    const auto msLeft = [&deadline] {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
    };
    std::size_t typed = 0, typedAt = 0;  // answers given, and where the last one went
    while (source >= 0) {
        const bool answerDue = typed < streams.typed.size() &&
                               result.output.find(streams.prompt, typedAt) != std::string::npos;
        const int left = msLeft();
        const int wait = answerDue ? std::min(left, 100) : left;
        pollfd fd = {source, POLLIN, 0};
        const int ready = wait > 0 ? poll(&fd, 1, wait) : 0;
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0 && answerDue && left > 0) {
            const std::string& answer = streams.typed[typed++];
            if (write(typist, answer.data(), answer.size()) < 0) break;
            result.output += answer;
            typedAt = result.output.size();
            continue;
        }
        if (ready <= 0) {
            result.timedOut = true;
            break;
        }
        char chunk[4096];
        const ssize_t n = read(source, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // at a terminal, EIO once the child has closed it
        result.output.append(chunk, static_cast<std::size_t>(n));
    }
    if (source == pipeFds[0]) close(pipeFds[0]);

    // The output ends when the child closes it, which it may do long before it exits. The
    // terminal stays open until then: a child reading it must see no end of input it was not
    // typed.
    int status = 0;
    pid_t ended = 0;
    while (ended == 0 && !result.timedOut) {
        ended = waitpid(pid, &status, WNOHANG);
        if (ended < 0 && errno == EINTR) ended = 0;
        result.timedOut = ended == 0 && msLeft() == 0;
        if (ended == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (result.timedOut) {
        kill(pid, SIGKILL);  // ends it at once, so this last wait is short
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (typist >= 0) close(typist);
    if (ended == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}
