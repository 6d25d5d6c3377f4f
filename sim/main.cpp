// vemo-sim: serves a simulated module on a pseudo-terminal until interrupted. The first line
// on standard output is the port's path; the port is announced in the per-user links folder
// so the program lists it without being told.

#include "Version.h"
#include "sim/PortLinks.h"
#include "sim/Simulator.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void Usage(FILE* out) {
    std::fputs("usage: vemo-sim [--pace] [--unit feet|yards|meters] [--silence-after N]\n"
               "                [--garbage] [--delay MS] [--late LETTERS:MS] [--stream]\n"
               "                [--close-after MS] [--blank]\n"
               "                [--record-fault V,COUNT,AFTER] [--drop-echoes N]\n"
               "                [--close-after-records N]\n"
               "       vemo-sim --help | --version\n"
               "  --pace             send at the line speed the program set (10 bits a byte)\n"
               "  --unit U           the unit the recordings and configuration are in\n"
               "  --silence-after N  stop answering after N bytes of replies\n"
               "  --garbage          answer with garbage\n"
               "  --delay MS         answer every command MS milliseconds late\n"
               "  --late LETTERS:MS  answer the commands LETTERS MS milliseconds late\n"
               "                     (--late a:2800: every data set 2.8 s late)\n"
               "  --stream           send NMEA sentences without end, as a GPS receiver\n"
               "                     does, and take no command\n"
               "  --close-after MS   close the port MS milliseconds after start\n"
               "  --blank            no firmware: the module sits in its boot loader\n"
               "  --record-fault V,COUNT,AFTER\n"
               "                     the boot loader answers V (X or R) to COUNT records after\n"
               "                     answering AFTER records as usual\n"
               "  --drop-echoes N    the boot loader does not echo the next N records\n"
               "  --close-after-records N\n"
               "                     close the port after the boot loader answered N records\n"
               "  -h, --help         show this help and exit\n"
               "  --version          print the version and exit\n",
               out);
}

bool ParseLong(const char* text, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0';
}

// "V,COUNT,AFTER" with a one-character verdict and two counts of at least 0.
bool ParseRecordFault(const std::string& text, char& verdict, long& count, long& after) {
    if (text.size() < 5 || text[1] != ',') return false;
    verdict = text[0];
    const size_t comma = text.find(',', 2);
    if (comma == std::string::npos) return false;
    return ParseLong(text.substr(2, comma - 2).c_str(), count) && count >= 0 &&
           ParseLong(text.substr(comma + 1).c_str(), after) && after >= 0;
}

// "LETTERS:MS" with at least one letter and a delay of at least 0.
bool ParseLate(const std::string& text, std::string& letters, long& ms) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return false;
    letters = text.substr(0, colon);
    return ParseLong(text.substr(colon + 1).c_str(), ms) && ms >= 0;
}

bool MakeFolders(const std::string& path) {
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Removes links left behind by simulators that are no longer running.
void RemoveStaleLinks(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* e = ::readdir(dir)) {
        long pid = 0;
        const std::string name = e->d_name;
        if (name.rfind("vemo-sim-", 0) != 0 || !ParseLong(name.c_str() + 9, pid) || pid <= 0)
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlink((folder + "/" + name).c_str());
    }
    ::closedir(dir);
}

} // namespace

int main(int argc, char** argv) {
    vemosim::SimOptions options;
    long silenceAfter = -1, delayMs = 0, closeAfterMs = -1;
    long faultCount = 0, faultAfter = 0, dropEchoes = 0, closeAfterRecords = 0;
    long lateMs = 0;
    std::string lateCommands;
    char faultVerdict = 'X';
    bool garbage = false, blank = false, stream = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--pace") {
            options.pace = true;
        } else if (arg == "--unit" && hasValue) {
            const std::string u = argv[++i];
            if (u == "feet")
                options.unit = 0;
            else if (u == "yards")
                options.unit = 1;
            else if (u == "meters")
                options.unit = 2;
            else {
                std::fprintf(stderr, "vemo-sim: unknown unit \"%s\"\n", u.c_str());
                return 1;
            }
        } else if (arg == "--silence-after" && hasValue && ParseLong(argv[i + 1], silenceAfter)) {
            ++i;
        } else if (arg == "--delay" && hasValue && ParseLong(argv[i + 1], delayMs) &&
                   delayMs >= 0) {
            ++i;
        } else if (arg == "--close-after" && hasValue && ParseLong(argv[i + 1], closeAfterMs) &&
                   closeAfterMs >= 0) {
            ++i;
        } else if (arg == "--record-fault" && hasValue &&
                   ParseRecordFault(argv[i + 1], faultVerdict, faultCount, faultAfter)) {
            ++i;
        } else if (arg == "--drop-echoes" && hasValue && ParseLong(argv[i + 1], dropEchoes) &&
                   dropEchoes >= 0) {
            ++i;
        } else if (arg == "--close-after-records" && hasValue &&
                   ParseLong(argv[i + 1], closeAfterRecords) && closeAfterRecords >= 0) {
            ++i;
        } else if (arg == "--late" && hasValue && ParseLate(argv[i + 1], lateCommands, lateMs)) {
            ++i;
        } else if (arg == "--stream") {
            stream = true;
        } else if (arg == "--garbage") {
            garbage = true;
        } else if (arg == "--blank") {
            blank = true;
        } else if (arg == "--help" || arg == "-h") {
            Usage(stdout);
            return 0;
        } else if (arg == "--version") {
            std::printf("vemo-sim %s\n", VEMO_VERSION_TEXT);
            return 0;
        } else {
            std::fprintf(stderr, "vemo-sim: bad argument \"%s\"\n", arg.c_str());
            Usage(stderr);
            return 1;
        }
    }

    // Signals are taken by sigwait below; block them before the simulator's thread starts so
    // it inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    vemosim::Simulator sim(options);
    sim.SetSilenceAfter(silenceAfter);
    sim.SetGarbage(garbage);
    sim.SetReplyDelayMs(static_cast<int>(delayMs));
    sim.SetLateCommands(lateCommands, static_cast<int>(lateMs));
    sim.SetStreaming(stream);
    sim.SetBlankPart(blank);
    sim.SetRecordFault(faultVerdict, static_cast<int>(faultCount), static_cast<int>(faultAfter));
    sim.SetDropEchoes(static_cast<int>(dropEchoes));
    sim.SetCloseAfterRecords(static_cast<int>(closeAfterRecords));
    if (!sim.Start()) {
        std::fprintf(stderr, "vemo-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 2;
    }
    std::printf("%s\n", sim.PortPath().c_str());
    std::fflush(stdout);

    std::string link;
    const std::string folder = vemosim::PortLinksFolder();
    if (!folder.empty() && MakeFolders(folder)) {
        RemoveStaleLinks(folder);
        link = folder + "/" + vemosim::PortLinkName(static_cast<long>(::getpid()));
        ::unlink(link.c_str());
        if (::symlink(sim.PortPath().c_str(), link.c_str()) != 0) {
            std::fprintf(stderr, "vemo-sim: cannot announce the port in %s: %s\n", folder.c_str(),
                         std::strerror(errno));
            link.clear();
        } else {
            std::fprintf(stderr, "vemo-sim: announced as %s\n", link.c_str());
        }
    } else {
        std::fprintf(stderr, "vemo-sim: no folder for port links (%s); the port is not listed\n",
                     folder.empty() ? "no home folder" : folder.c_str());
    }

    int sig = 0;
    if (closeAfterMs >= 0) {
        timespec wait{closeAfterMs / 1000, (closeAfterMs % 1000) * 1000000};
        if (sigtimedwait(&signals, nullptr, &wait) < 0) {
            sim.ClosePort();
            std::fprintf(stderr, "vemo-sim: port closed\n");
            sigwait(&signals, &sig);
        }
    } else {
        sigwait(&signals, &sig);
    }
    if (!link.empty()) ::unlink(link.c_str());
    sim.Stop();
    return 0;
}
