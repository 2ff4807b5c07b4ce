// Runs a program as a child process with no input and collects its standard output, within a
// time limit: a child that outlives it is killed and reported as timed out.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

struct ProcessResult {
    std::string output;
    int exitCode = -1;  // -1 when it did not exit normally
    bool timedOut = false;
};

inline ProcessResult RunProcess(const std::vector<std::string>& argv,
                                std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    ProcessResult result;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return result;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        close(pipeFds[0]);
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
    for (;;) {
        pollfd fd = {pipeFds[0], POLLIN, 0};
        const int left = msLeft();
        const int ready = left > 0 ? poll(&fd, 1, left) : 0;
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            result.timedOut = true;
            break;
        }
        char chunk[4096];
        const ssize_t n = read(pipeFds[0], chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        result.output.append(chunk, static_cast<std::size_t>(n));
    }
    close(pipeFds[0]);

    // The output ends when the child closes it, which it may do long before it exits.
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
    if (ended == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    return result;
}
