// BM_DownloadLoopback: a large passive-mode download from a local FTP server
// (pyftpdlib) into a file, against curl fetching the same file from the same
// server in the same run. Reports our MB/s, curl's MB/s and their ratio.

#include "bench/bench_support.h"
#include "net/ftp_client.h"
#include "tests/net/ftp_test_server.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Fixture {
    std::unique_ptr<qorvi::test::FtpTestServer> server;
    qorvi::test::TempDir local;
    std::size_t size = 0;
    std::string error;

    Fixture() {
        try {
            server = std::make_unique<qorvi::test::FtpTestServer>();
        } catch (const std::exception& e) {
            error = e.what();
            return;
        }
        size = qorvi::bench::scaled(500u << 20, 4u << 20);
        std::ofstream out(server->file("big.bin"), std::ios::binary);
        std::vector<char> block(1 << 20);
        std::uint32_t x = 12345;
        for (std::size_t done = 0; done < size; done += block.size()) {
            for (auto& b : block) {
                x = x * 1664525u + 1013904223u;
                b = static_cast<char>(x >> 24);
            }
            out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), size - done)));
        }
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

// Seconds curl needs for the same file, or a negative value when it fails.
double curlSeconds(const Fixture& f, const std::string& target) {
    const std::string url = "ftp://127.0.0.1:" + std::to_string(f.server->port()) + "/big.bin";
    const std::string user =
        std::string(qorvi::test::FtpTestServer::kUser) + ":" + qorvi::test::FtpTestServer::kPassword;
    auto start = Clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        ::execlp("curl", "curl", "-s", "-S", "--user", user.c_str(), "-o", target.c_str(), url.c_str(),
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    ::unlink(target.c_str());
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

void BM_DownloadLoopback(benchmark::State& state) {
    Fixture& f = fixture();
    if (!f.error.empty()) {
        state.SkipWithError(f.error.c_str());
        return;
    }
    qorvi::TFtpClient client;
    client.Host = "127.0.0.1";
    client.Port = f.server->port();
    client.UserID = qorvi::test::FtpTestServer::kUser;
    client.Password = qorvi::test::FtpTestServer::kPassword;
    client.TimeOut = 30000;
    client.Passive = true;
    client.Connect();
    client.Mode(2);
    const std::string ours = f.local.file("ours.bin");
    const std::string theirs = f.local.file("curl.bin");
    double ourTime = 0, curlTime = 0;
    bool curlOk = true;
    for (auto _ : state) {
        auto start = Clock::now();
        client.Download("big.bin", ours);
        double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        ourTime += seconds;
        ::unlink(ours.c_str());
        double c = curlSeconds(f, theirs);
        curlOk = curlOk && c > 0;
        curlTime += c;
    }
    client.Disconnect();
    const double bytes = static_cast<double>(f.size) * static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["MB/s"] = bytes / ourTime / 1e6;
    if (curlOk) {
        state.counters["curl_MB/s"] = bytes / curlTime / 1e6;
        state.counters["ratio_to_curl"] = curlTime / ourTime;
    } else {
        state.SetLabel("curl failed; no ratio");
    }
}

BENCHMARK(BM_DownloadLoopback)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(qorvi::bench::smokeRun() ? 1 : 5);

} // namespace
