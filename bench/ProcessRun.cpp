#include "bench/ProcessRun.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace qm::bench {

ProcessRun runProcess(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    std::vector<char*> args = {const_cast<char*>(QM_MEASURE_RUN)};
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 2);
        for (const std::string& e : environment)
            ::putenv(const_cast<char*>(e.c_str()));
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    ProcessRun run;
    char chunk[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], chunk, sizeof chunk)) > 0;)
        run.output.append(chunk, static_cast<size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // The measuring program's last line: "measure_run SECONDS PEAK_KIB".
    const size_t last = run.output.rfind("\nmeasure_run ");
    if (last == std::string::npos) throw std::runtime_error("no measurement from " + argv[0]);
    double seconds = 0;
    long peakKib = 0;
    std::sscanf(run.output.c_str() + last, "\nmeasure_run %lf %ld", &seconds, &peakKib);
    run.output.resize(last);
    run.seconds = seconds;
    run.peakMiB = static_cast<double>(peakKib) / 1024.0;
    return run;
}

} // namespace qm::bench
