#include "conversion_run.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>

#include "address_width_question.h"
#include "command_line.h"
#include "crlf_file_buf.h"
#include "file_names.h"
#include "hex_record_reader.h"
#include "input_warnings.h"
#include "output_file.h"
#include "platform.h"
#include "text_input.h"
#include "write_rom.h"

namespace romtools {

namespace {

// What one run holds for all its files: its command line, and the address width once it is known.
struct RunSettings {
    const CommandLine& options;
    std::optional<std::int32_t> addressWidth;  // given by -w, or answered at the first file that asks
    // -w was given: nothing reads standard input.
    bool batch() const { return options.addressWidth.has_value(); }
};

// Why a conversion cannot go on. The steps throw it, and run() alone reports it; by then the
// files have closed themselves and the output's owner has removed its temporary file.
struct ConversionFailure {
    std::string message;
    bool awaitsKeystroke;  // a file was at fault: the console window stays until the user has read it
};

// A failure about a file: the line that names it, then the line that says why.
ConversionFailure fileFailure(const std::string& what, const std::string& name, const std::string& reason) {
    return {what + " " + name + "\n" + name + ": " + reason + "\n", true};
}

FileNames fileNamesOrThrow(const std::string& argument, const RunSettings& settings,
                           const ProgramDescription& program) {
    std::optional<FileNames> names = fileNamesFor(argument, program.extension, settings.options.outputName);
    if (!names) {
        throw ConversionFailure{"Input file should be HEX file.\n" + argument +
                                    ": the name does not end in .hex or .HEX\n",
                                false};
    }
    return *names;
}

OpenedInput openInputOrThrow(const FileNames& names) {
    OpenedInput input = openInput(names);
    if (!input.file) {
        throw fileFailure("can not open input file", names.input, errorText(input.error));
    }
    return input;
}

// An output that is the input itself, through a link, would replace the image it is made from.
void createOutput(OutputFile& output, std::FILE* input, const FileNames& names) {
    if (!names.toStandardOutput && isSameFile(input, names.output)) {
        throw fileFailure("can not create output file", names.output, "it is the input file");
    }
    // Standard output is there to be written, and when it was closed, writing it fails.
    if (!output.create()) {
        throw fileFailure(names.toStandardOutput ? "can not write output file" : "can not create output file",
                          names.output, output.failure());
    }
}

// Asked once a run, at the first file that gets this far; the answer serves the files after it.
std::int32_t addressWidthFor(RunSettings& settings) {
    if (!settings.addressWidth) {
        settings.addressWidth = askAddressWidth();
    }
    if (*settings.addressWidth > kMaxAddressWidth) {
        throw ConversionFailure{"address width " + std::to_string(*settings.addressWidth) + " is too large, at most " +
                                    std::to_string(kMaxAddressWidth) + "\n",
                                true};
    }
    if (*settings.addressWidth < 1) {
        throw ConversionFailure{"address width " + std::to_string(*settings.addressWidth) + " is too small, at least 1\n",
                                true};
    }
    if (*settings.addressWidth > settings.options.writer->style().widestAddress) {
        throw ConversionFailure{styleWidthRefusal(*settings.options.writer), true};
    }
    return *settings.addressWidth;
}

// Streams every word of the input into the output, saying each doubt about the input as it is found,
// and those about the whole file once it has been read to its end. The output is finished but not
// yet in place.
AddressFit writeOutput(std::FILE* input, InputWarnings& warnings, OutputFile& output, const FileNames& names,
                       RomWriter& writer, const RomShape& shape, bool crop) {
    CrLfFileBuf buffer(output.file());
    std::ostream stream(&buffer);
    TextInput text(input);
    HexRecordReader reader(text, warnings, shape.bytesPerWord());
    const AddressFit fit = writeRom(reader, writer, stream, names.stem, shape, crop, warnings);
    if (text.failed()) {
        throw fileFailure("can not read input file", warnings.source(), errorText(text.error()));
    }
    // A write error may show only when the last block is written.
    if (!buffer.finish() || !stream.good()) {
        throw fileFailure("can not write output file", names.output, errorText(buffer.error()));
    }
    if (!reader.endRecordRead()) {
        warnings.warn("the file has no end record");
    }
    if (!fit.anyWord()) {
        warnings.warn("the file gives no word for the ROM");
    }
    return fit;
}

std::string fitWarning(const AddressFit& fit, std::int32_t addressWidth) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "address %04X does not fit the address width %d; a width of %d holds every address, or --crop "
                  "leaves such words out",
                  static_cast<unsigned>(fit.firstOutside()), static_cast<int>(addressWidth), fit.widthNeeded());
    return text;
}

// Puts a finished output in place, unless --strict refuses it for a warning; then says what became of
// words beyond the address width.
void putInPlace(OutputFile& output, InputWarnings& warnings, const AddressFit& fit, const FileNames& names,
                std::int32_t addressWidth, const RunSettings& settings) {
    const bool wordsOutside = fit.anyOutside() && !settings.options.crop;
    if (settings.options.strict && (warnings.any() || wordsOutside)) {
        if (wordsOutside) {
            warnings.warn(fitWarning(fit, addressWidth));
        }
        throw ConversionFailure{output.writesInPlace()
                                    ? "output file " + names.output +
                                          " was written as it went, but --strict makes warnings errors\n"
                                    : "output file " + names.output + " not written: --strict makes warnings errors\n",
                                true};
    }
    if (!output.complete()) {
        throw fileFailure("can not write output file", names.output, output.failure());
    }
    if (wordsOutside) {
        warnings.warn(fitWarning(fit, addressWidth));
    } else if (fit.anyOutside()) {
        std::fprintf(stderr, "%s: note: words beyond the address width %d are left out: %llu, the first at address %04X\n",
                     warnings.source().c_str(), static_cast<int>(addressWidth),
                     static_cast<unsigned long long>(fit.outsideCount()), static_cast<unsigned>(fit.firstOutside()));
    }
}

// Converts one file; throws ConversionFailure when it cannot.
void convert(const std::string& argument, RunSettings& settings, const ProgramDescription& program) {
    const FileNames names = fileNamesOrThrow(argument, settings, program);
    const OpenedInput input = openInputOrThrow(names);
    OutputFile output(names.output, names.toStandardOutput);
    createOutput(output, input.file.get(), names);
    const RomShape shape{addressWidthFor(settings), settings.options.dataWidth};
    RomWriter& writer = *settings.options.writer;
    std::fputs(writer.nameNotice(names.stem).c_str(), stderr);
    InputWarnings warnings(input.name, stderr);
    const AddressFit fit = writeOutput(input.file.get(), warnings, output, names, writer, shape, settings.options.crop);
    putInPlace(output, warnings, fit, names, shape.addressWidth, settings);
}

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
    const CommandLine line = parseCommandLine(argc, argv, program);
    switch (line.request) {
    case CommandLine::Request::help:
        std::fputs(helpText(program).c_str(), stdout);
        return 0;
    case CommandLine::Request::version:
        std::printf("%s (romtools) %s\n", program.name, ROMTOOLS_VERSION);
        return 0;
    case CommandLine::Request::refuse:
        std::fputs(line.refusal.c_str(), stderr);
        return 1;
    case CommandLine::Request::convert:
        break;
    }
    RunSettings settings{line, line.addressWidth};
    // Every file is converted, whatever became of the ones before it.
    int status = 0;
    for (const std::string& file : line.files) {
        try {
            convert(file, settings, program);
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
