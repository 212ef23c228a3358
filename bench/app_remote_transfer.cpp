// BM_RemoteOpenSave: a 50 MB C file opened from a local FTP server
// (pyftpdlib on 127.0.0.1) through the remote explorer's code path - the
// download into a private temp file, the text check, the document window
// over the real editor control - edited by one character and saved back
// (temp file, upload, the server's confirmation). In the same run curl
// downloads and uploads the same file from and to the same server. Reports
// MB/s both ways for us and for curl, and curl's time over ours (target:
// at least 0.9 each way). The transfers alone, through the explorer's own
// client on the same connection (download into a file, upload of it), are
// reported beside them: open and save also load the text into the editor
// and write it out, which curl does not do. Each upload starts with the
// server's disk written out (sync) and replaces a file of the same size.

#include "app/document_editor.h"
#include "app/document_window.h"
#include "app/remote_explorer.h"
#include "app/site_profiles.h"
#include "bench/bench_support.h"
#include "bench/headless_shell.h"
#include "platform/clock.h"
#include "tests/net/ftp_test_server.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <fstream>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

namespace qorvi {
namespace {

using Steady = std::chrono::steady_clock;

double secondsSince(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// Seconds curl needs for `args`, or a negative value when it fails.
double curlSeconds(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("curl"));
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = Steady::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execvp("curl", argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double seconds = secondsSince(start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

void BM_RemoteOpenSave(benchmark::State& state) {
    std::unique_ptr<test::FtpTestServer> server;
    try {
        server = std::make_unique<test::FtpTestServer>();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    const std::string text = bench::makeCppText(bench::scaled(50u << 20));
    std::ofstream(server->file("big.c"), std::ios::binary) << text;
    // curl overwrites a file of the same size, as our save does.
    std::ofstream(server->file("curl-up.c"), std::ios::binary) << text;
    const double size = static_cast<double>(text.size());

    bench::Shell s;
    SiteProfile p;
    p.name = "loopback";
    p.hostName = "127.0.0.1";
    p.uid = test::FtpTestServer::kUser;
    p.password = test::FtpTestServer::kPassword;
    p.port = std::to_string(server->port());
    SiteProfiles(*s.hive, SystemClock::instance()).save(p);
    RemoteExplorer& remote = s.shell->remote();
    remote.fillSites();
    s.view.site = 2;
    remote.siteClicked();
    if (!remote.ftp().Connected()) {
        state.SkipWithError("no connection to the loopback server");
        return;
    }

    const std::string url = "ftp://127.0.0.1:" + std::to_string(server->port()) + "/";
    const std::string user = std::string(test::FtpTestServer::kUser) + ":" + test::FtpTestServer::kPassword;
    const std::string local = s.dir + "/curl.c";
    double openTime = 0, saveTime = 0, curlDown = 0, curlUp = 0, rawDown = 0, rawUp = 0;
    bool curlOk = true;
    for (auto _ : state) {
        auto start = Steady::now();
        DocumentWindow* window = remote.openDocument("big.c");
        const double opened = secondsSince(start);
        if (!window) {
            state.SkipWithError("the remote file did not open");
            return;
        }
        window->editor().setSelection(0, 0);
        window->editor().replaceSelection("x");
        // The server truncates the file it stores: with the file's pages
        // still waiting to be written that takes tens of milliseconds, which
        // would go to whichever side came first after the last write.
        ::sync();
        start = Steady::now();
        const bool saved = remote.save(*window);
        const double savedIn = secondsSince(start);
        if (!saved) {
            state.SkipWithError("the remote file was not saved");
            return;
        }
        state.SetIterationTime(opened + savedIn);
        openTime += opened;
        saveTime += savedIn;
        s.view.discardDocumentWindow(*window);

        const std::string raw = s.dir + "/raw.c";
        start = Steady::now();
        remote.ftp().Mode(2);
        remote.ftp().Download("big.c", raw);
        rawDown += secondsSince(start);
        ::sync();
        start = Steady::now();
        remote.ftp().Upload(raw, "raw.c");
        rawUp += secondsSince(start);
        ::unlink(raw.c_str());

        const double down = curlSeconds({"-s", "-S", "--user", user, "-o", local, url + "big.c"});
        ::sync();
        const double up = curlSeconds({"-s", "-S", "--user", user, "-T", local, url + "curl-up.c"});
        ::unlink(local.c_str());
        curlOk = curlOk && down > 0 && up > 0;
        curlDown += down;
        curlUp += up;
    }
    const double n = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(2 * size * n));
    state.counters["open_MB/s"] = size * n / openTime / 1e6;
    state.counters["save_MB/s"] = size * n / saveTime / 1e6;
    state.counters["transfer_down_MB/s"] = size * n / rawDown / 1e6;
    state.counters["transfer_up_MB/s"] = size * n / rawUp / 1e6;
    if (curlOk) {
        state.counters["curl_down_MB/s"] = size * n / curlDown / 1e6;
        state.counters["curl_up_MB/s"] = size * n / curlUp / 1e6;
        state.counters["open_ratio_to_curl"] = curlDown / openTime;
        state.counters["save_ratio_to_curl"] = curlUp / saveTime;
        state.counters["transfer_down_ratio_to_curl"] = curlDown / rawDown;
        state.counters["transfer_up_ratio_to_curl"] = curlUp / rawUp;
    } else {
        state.SetLabel("curl failed; no ratio");
    }
}

BENCHMARK(BM_RemoteOpenSave)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(bench::smokeRun() ? 1 : 3);

} // namespace
} // namespace qorvi
