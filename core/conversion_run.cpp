#include "conversion_run.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "command_line.h"
#include "file_conversion.h"
#include "output_file.h"
#include "platform.h"

namespace romtools {

namespace {

// The one place where a failure becomes its message; when a file was at fault, it then waits for Enter
// (unless -w was given), so that a console window stays until the user has read it.
void reportFailureAndAwaitEnter(const ConversionFailure& failure, const RunSettings& settings) {
    std::fputs(failure.message.c_str(), stderr);
    if (failure.awaitsKeystroke && !settings.batch()) {
        // In a terminal the wait would look like a hang; from a pipe or a file it takes no hint.
        if (standardInputIsATerminal()) {
            std::fputs("press Enter to go on\n", stderr);
        }
        std::getchar();
    }
}

int run(int argc, char** argv, const ProgramDescription& program) {
    const Options options = parseCommandLine(argc, argv, program);
    switch (options.request) {
    case Options::Request::help:
        std::fputs(helpText(program).c_str(), stdout);
        return 0;
    case Options::Request::version:
        std::printf("%s (romtools) %s\n", program.name, ROMTOOLS_VERSION);
        return 0;
    case Options::Request::refuse:
        std::fputs(options.refusal.c_str(), stderr);
        return 1;
    case Options::Request::convert:
        break;
    }
    RunSettings settings{options, program, options.addressWidth};
    // Every file is converted, whatever became of the ones before it.
    int status = 0;
    for (const std::string& file : options.files) {
        try {
            FileConversion(file, settings).convert();
        } catch (const ConversionFailure& failure) {
            reportFailureAndAwaitEnter(failure, settings);
            status = 1;
        }
    }
    return status;
}

}  // namespace

void runConversion(int argc, char** argv, const ProgramDescription& program) {
    openClosedStandardStreams();
    installSignalHandlers();
    std::exit(run(argc, argv, program));
}

}  // namespace romtools
