// orva-boxsim: serves a simulated ORVA 2 USB box on a Unix socket, where the program finds it
// like a plugged-in box.

#include "boxsim/BoxConfig.h"
#include "boxsim/BoxModel.h"
#include "boxsim/BoxServer.h"
#include "boxsim/FaultPlan.h"
#include "boxsim/SimTransport.h"
#include "boxsim/TextFields.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iostream>
#include <limits.h>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

using namespace boxsim;

namespace {

const char* const kHelp = R"(Usage: orva-boxsim [OPTION]...
Serve a simulated ORVA 2 USB box on a Unix socket, where the program finds it like a
plugged-in box. Runs until interrupted (SIGINT, SIGTERM), then removes its socket.

Box:
  --name NAME               box name and socket file NAME.sock (default sim1);
                            letters, digits, '-', '_' and '.'
  --inputs SPEC             inputs as kind and count: sin (SinCos), sq (HTL/TTL),
                            ssi (SSI), ana (Analog); at most 40 frame slots
                            (default sin2sq1ssi1ana1)
  --system-frequency MHZ    system clock in whole MHz, 1 ... 1000 (default 64)
  --serial TEXT             serial number in the identification and the USB serial
                            string descriptor (default SIM-NAME)

Signals:
  --periods P[,P...]        signal periods per turn of the SinCos and HTL/TTL encoders in
                            input order; the last value serves the rest (default 1024)
  --speed PROFILE           shaft speed in turns/s (default sine:5:2:4):
                              constant:V
                              ramp:FROM:TO:SECONDS     then stays at TO
                              sine:MEAN:AMPLITUDE:PERIOD_S
  --ssi-layout FIELDS       bit fields the SSI encoder sends, first bit first,
                            comma-separated (default pos:12:13,vel:16:100):
                              pos:MT:ST            MT multi-turn and ST single-turn bits
                              vel:BITS:FULLSCALE   signed, 2^(BITS-1) is FULLSCALE turns/s
                              raw:BITS:VALUE       constant bits
  --sincos-imperfection N:PEAK_A,PEAK_B,OFFSET_A,OFFSET_B,PHASE_DEG,NOISE_RMS
                            imperfect tracks of SinCos input N (numbered from 1 over all
                            inputs): peak amplitudes (half the peak-to-peak value, ideal
                            0.5) and offsets of A and B in V, the phase error in degrees
                            (-90 ... 90, positive when the tracks are more than a quarter
                            period apart) and Gaussian noise in V RMS from a fixed seed;
                            the converters clip at +-0.625 V; the position counter follows
                            the shaft, not the tracks; once per input
  --htl-imperfection N:DUTY_A,DUTY_B,PHASE_DEG
                            imperfect tracks of HTL/TTL input N: duty cycles of A and B in
                            % (0 ... 100, ideal 50) and the phase error in degrees beyond
                            the ideal 90 by which B's rising edge follows A's turning
                            forwards (-90 ... 90); the duty cycles move the falling edges;
                            the position counter follows the shaft; once per input
  --htl-r-active-low        the R bit of the HTL/TTL level byte is 0 during the pulse
  --ssi-gray                the SSI encoder sends every field in Gray code
  --analog WAVE             analog input signal SHAPE:AMPLITUDE_V:FREQUENCY_HZ, SHAPE one of
                            sine, square, triangle; the input clips at +-0.625 V
                            (default sine:0.5:50)
  --fifo-bytes N            sample memory of the box in bytes; frames that find it full
                            are lost (default 1048576)

Connection:
  --socket-dir DIR          directory of the socket (default $XDG_RUNTIME_DIR/orva-boxes,
                            or /tmp/orva-boxes-UID when XDG_RUNTIME_DIR is not set);
                            created with mode 0700, refused when others may access it
  --log-commands            print every received command line on standard error

Faults (times in seconds of streaming, summed over all runs):
  --drop-every N            lose every N-th frame
  --burst S:L               every S seconds lose L consecutive frames
  --stall S:MS[:drop|late]  after S seconds send nothing for MS milliseconds; then the
                            frames of the stall are lost (drop, the default) or arrive
                            all at once (late)
  --vanish S                after S seconds disappear like an unplugged box: close the
                            connection, remove the socket and exit
  --idn TEXT                answer "*IDN?" with TEXT instead of
                            "TorvenKellmar,ORVA 2 USB,SERIAL,V2.0"
  --empty-cap               answer "KELLMAR:CAP?" with an empty line
  --mute                    take every command but answer no query, like a hung box

  -h, --help                show this help and exit

When it is ready the simulator prints "orva-boxsim: serving NAME at sim:PATH" on standard
output; the program opens the box by that device path.
Exit status: 0 after SIGINT, SIGTERM or --vanish; 1 for bad options; 2 when the box cannot
be served.
)";

BoxServer* activeServer = nullptr;

void onSignal(int) {
    if (activeServer != nullptr) {
        activeServer->requestStop();
    }
}

struct Options {
    BoxConfig config;
    std::string directory = defaultBoxDirectory();
    bool logCommands = false;
    bool help = false;
};

bool fail(const std::string& message) {
    std::cerr << "orva-boxsim: " << message << "\n";
    return false;
}

bool badValue(const std::string& option, const std::string& value, const std::string& expected) {
    return fail("invalid value '" + value + "' for " + option + " (expected " + expected + ")");
}

std::optional<std::vector<double>> parsePeriods(const std::string& text) {
    std::vector<double> periods;
    for (std::string_view part : splitText(text, ',')) {
        const std::optional<double> value = parseReal(part);
        if (!value || *value <= 0.0 || *value > 1e7) {
            return std::nullopt;
        }
        periods.push_back(*value);
    }
    return periods;
}

// Adds the imperfect tracks of one input; false after printing what is wrong.
template <typename Imperfection>
bool addImperfection(const std::string& option, const std::string& value,
                     const std::optional<std::pair<int, Imperfection>>& parsed,
                     std::map<int, Imperfection>& imperfections, const std::string& expected) {
    if (!parsed) {
        return badValue(option, value, expected);
    }
    return imperfections.insert(*parsed).second ||
           fail(option + " given twice for input " + std::to_string(parsed->first));
}

// Applies one option with its value; false after printing what is wrong.
bool applyOption(const std::string& option, const std::string& value, Options& options) {
    BoxConfig& config = options.config;
    FaultPlan& faults = config.faults;
    if (option == "--name") {
        config.name = value;
        return validBoxName(value) ||
               badValue(option, value, "letters, digits, '-', '_', '.', not starting with '.'");
    }
    if (option == "--inputs") {
        const std::optional<InputCounts> counts = parseInputCounts(value);
        if (counts) {
            config.inputs = *counts;
        }
        return counts || badValue(option, value, "e.g. sin2sq1ssi1ana1, 1 to 40 slots");
    }
    if (option == "--system-frequency") {
        const std::optional<int64_t> mhz = parseInteger(value);
        if (!mhz || *mhz < 1 || *mhz > 1000) {
            return badValue(option, value, "whole MHz from 1 to 1000");
        }
        config.systemFrequencyHz = static_cast<int>(*mhz * 1000000);
        return true;
    }
    if (option == "--serial") {
        config.serial = value;
        return validSerial(value) ||
               badValue(option, value, "1 to 64 printable ASCII characters without ','");
    }
    if (option == "--periods") {
        const std::optional<std::vector<double>> periods = parsePeriods(value);
        if (periods) {
            config.periods = *periods;
        }
        return periods || badValue(option, value, "positive numbers separated by ','");
    }
    if (option == "--speed") {
        const std::optional<SpeedProfile> profile = parseSpeedProfile(value);
        if (profile) {
            config.speed = *profile;
        }
        return profile ||
               badValue(option, value, "constant:V, ramp:FROM:TO:SECONDS or sine:MEAN:AMP:PERIOD");
    }
    if (option == "--ssi-layout") {
        const std::optional<std::vector<SsiField>> fields = parseSsiFields(value);
        if (fields) {
            config.ssi.fields = *fields;
        }
        return fields || badValue(option, value, "pos:MT:ST, vel:BITS:FULLSCALE, raw:BITS:VALUE");
    }
    if (option == "--analog") {
        const std::optional<AnalogWave> wave = parseAnalogWave(value);
        if (wave) {
            config.analog = *wave;
        }
        return wave || badValue(option, value, "sine|square|triangle:AMPLITUDE_V:FREQUENCY_HZ");
    }
    if (option == "--sincos-imperfection") {
        return addImperfection(option, value, parseSinCosImperfection(value),
                               config.sinCosImperfections,
                               "N:PEAK_A,PEAK_B,OFFSET_A,OFFSET_B,PHASE_DEG,NOISE_RMS with peaks "
                               "and noise 0 to 10 V, offsets -10 to 10 V, phase error between "
                               "-90 and 90 degrees");
    }
    if (option == "--htl-imperfection") {
        return addImperfection(option, value, parseHtlImperfection(value), config.htlImperfections,
                               "N:DUTY_A,DUTY_B,PHASE_DEG with duty cycles between 0 and 100 %, "
                               "phase error between -90 and 90 degrees");
    }
    if (option == "--fifo-bytes") {
        const std::optional<int64_t> bytes = parseInteger(value);
        if (!bytes || *bytes < 1024 || *bytes > (int64_t{1} << 30)) {
            return badValue(option, value, "bytes from 1024 to 1073741824");
        }
        config.fifoBytes = static_cast<size_t>(*bytes);
        return true;
    }
    if (option == "--socket-dir") {
        options.directory = value;
        return !value.empty() || badValue(option, value, "a directory");
    }
    if (option == "--drop-every") {
        const std::optional<int64_t> every = parseInteger(value);
        if (!every || *every < 1 || *every > INT_MAX) {
            return badValue(option, value, "a whole number of frames from 1");
        }
        faults.dropEvery = static_cast<int>(*every);
        return true;
    }
    if (option == "--burst") {
        return parseBurst(value, faults) || badValue(option, value, "SECONDS:FRAMES");
    }
    if (option == "--stall") {
        return parseStall(value, faults) || badValue(option, value, "SECONDS:MS[:drop|late]");
    }
    if (option == "--vanish") {
        const std::optional<double> seconds = parseReal(value);
        if (!seconds || *seconds < 0.0) {
            return badValue(option, value, "seconds of streaming");
        }
        faults.vanishAfterSeconds = *seconds;
        return true;
    }
    if (option == "--idn") {
        faults.identification = value;
        return value.find('\n') == std::string::npos ||
               badValue(option, value, "a text without line feed");
    }
    return fail("unknown option " + option + " (see --help)");
}

bool parseOptions(int argc, char** argv, Options& options) {
    const std::vector<std::string> flags{
        "--ssi-gray", "--htl-r-active-low", "--log-commands", "--empty-cap", "--mute", "--help",
        "-h"};
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        std::optional<std::string> value;
        const size_t equals = option.find('=');
        if (option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.erase(equals);
        }
        if (std::find(flags.begin(), flags.end(), option) != flags.end()) {
            if (value) {
                return fail(option + " takes no value");
            }
            options.help |= option == "--help" || option == "-h";
            options.config.ssi.gray |= option == "--ssi-gray";
            options.config.htlReferenceActiveLow |= option == "--htl-r-active-low";
            options.logCommands |= option == "--log-commands";
            options.config.faults.emptyCapabilities |= option == "--empty-cap";
            options.config.faults.mute |= option == "--mute";
            continue;
        }
        if (!value) {
            if (option.rfind("--", 0) != 0) {
                return fail("unexpected argument '" + option + "' (see --help)");
            }
            if (i + 1 >= argc) {
                return fail(option + " needs a value (see --help)");
            }
            value = argv[++i];
        }
        if (!applyOption(option, *value, options)) {
            return false;
        }
    }
    const std::string misplaced = options.config.misplacedImperfection();
    return misplaced.empty() || fail(misplaced + " of the box (see --inputs)");
}

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    char cwd[PATH_MAX];
    if (getcwd(cwd, sizeof(cwd)) == nullptr) {
        return path;
    }
    return std::string(cwd) + "/" + path;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        return 1;
    }
    if (options.help) {
        std::cout << kHelp;
        return 0;
    }

    BoxModel model(options.config);
    if (options.logCommands) {
        const std::string name = options.config.name;
        model.setCommandObserver([name](const std::string& line, bool understood) {
            std::cerr << "orva-boxsim[" << name << "] <- " << line
                      << (understood ? "" : "   (not understood)") << std::endl;
        });
    }
    BoxServer server(model, absolutePath(options.directory));
    std::string error;
    if (!server.open(error)) {
        std::cerr << "orva-boxsim: " << error << "\n";
        return 2;
    }

    activeServer = &server;
    std::signal(SIGPIPE, SIG_IGN); // a vanished reader of our output must not kill the box
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    std::cout << "orva-boxsim: serving " << options.config.name << " at sim:" << server.socketPath()
              << std::endl;
    const BoxServer::Outcome outcome = server.run();
    activeServer = nullptr;
    server.close();
    switch (outcome) {
    case BoxServer::Outcome::Vanished:
        std::cerr << "orva-boxsim: box " << options.config.name << " vanished (unplugged)\n";
        return 0;
    case BoxServer::Outcome::Failed:
        std::cerr << "orva-boxsim: the socket failed\n";
        return 2;
    default:
        return 0;
    }
}
