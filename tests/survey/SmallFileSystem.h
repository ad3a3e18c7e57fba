#pragma once

#include <functional>
#include <string>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

// The exit code of RunOnASmallFileSystem's child when it may not mount a file system here.
inline constexpr int kCannotMountASmallFileSystem = 77;

// Runs `work` in a child process with a file system of `size` ("256k") of its own mounted at
// `mountPoint` (an empty folder), in a mount namespace of the child's own: the small file
// system goes with it, so `work` copies out what the test is to see. Returns the exit code of
// the child (what `work` returned), kCannotMountASmallFileSystem where mounting is not allowed
// (the caller skips), or -1 when the child did not end by itself.
inline int RunOnASmallFileSystem(const std::string& mountPoint, const char* size,
                                 const std::function<int()>& work) {
    const pid_t child = fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        const std::string options = std::string("size=") + size;
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, options.c_str()) != 0)
            _exit(kCannotMountASmallFileSystem);
        _exit(work());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
