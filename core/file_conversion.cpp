#include "file_conversion.h"

#include <cstdio>

#include "address_width_question.h"
#include "crlf_file_buf.h"
#include "hex_record_reader.h"
#include "line_sink.h"
#include "platform.h"
#include "text_input.h"
#include "write_rom.h"

namespace romtools {

namespace {

// A failure about a file: the line that names it, then the line that says why.
ConversionFailure fileFailure(const std::string& what, const std::string& name, const std::string& reason) {
    return {what + " " + name + "\n" + name + ": " + reason + "\n", true};
}

FileNames fileNamesOrThrow(const std::string& argument, const RunSettings& settings) {
    std::optional<FileNames> names =
        fileNamesFor(argument, settings.options.writer->form().extension, settings.options.outputName,
                     settings.options.entityName);
    if (!names) {
        throw ConversionFailure{"Input file should be HEX file.\n" + argument +
                                    ": the name does not end in an Intel HEX extension (" + hexExtensionList() + ")\n",
                                false};
    }
    return *names;
}

// True when the output would replace a file, open for reading at its start, that is not empty and whose
// first line, up to the first CR or LF, is not one or more hex digits alone. The file is left at its start.
bool holdsOtherThanWords(std::FILE* previous) {
    int character = previous != nullptr ? std::fgetc(previous) : EOF;
    bool digits = false;
    bool other = false;
    for (; character != EOF && character != '\r' && character != '\n' && !other; character = std::fgetc(previous)) {
        other = kDigitValues[static_cast<unsigned>(character)] == kNotADigit;
        digits = true;
    }
    if (previous != nullptr) {
        std::rewind(previous);
    }
    return other || (!digits && character != EOF);
}

OpenedInput openInputOrThrow(const FileNames& names) {
    OpenedInput input = openInput(names);
    if (!input.file) {
        throw fileFailure("can not open input file", names.input, errorText(input.error));
    }
    return input;
}

// Asked once a run, at the first file that gets this far; the answer serves the files after it. When
// standard input ends unanswered, as make -j leaves it to all jobs but one, the default is said, or
// with --strict refused for every file.
std::int32_t addressWidthFor(RunSettings& settings) {
    if (!settings.addressWidth && !settings.unanswered) {
        settings.addressWidth = askAddressWidth();
        if (!settings.addressWidth && settings.options.strict) {
            settings.unanswered = true;
        } else if (!settings.addressWidth) {
            std::fprintf(stderr, "no answer on standard input; the address width is %d\n",
                         static_cast<int>(kDefaultAddressWidth));
            settings.addressWidth = kDefaultAddressWidth;
        }
    }
    if (settings.unanswered) {
        throw ConversionFailure{"no answer on standard input, and --strict takes no default width: give -w\n", true};
    }
    const std::string width = std::to_string(*settings.addressWidth);
    if (*settings.addressWidth > kMaxAddressWidth) {
        throw ConversionFailure{"address width " + width + " is too large, at most " +
                                    std::to_string(kMaxAddressWidth) + "\n",
                                true};
    }
    if (*settings.addressWidth < 1) {
        throw ConversionFailure{"address width " + width + " is too small, at least 1\n", true};
    }
    if (*settings.addressWidth > settings.options.writer->form().widestAddress) {
        throw ConversionFailure{formWidthRefusal(settings.program, *settings.options.writer), true};
    }
    return *settings.addressWidth;
}

}  // namespace

FileConversion::FileConversion(const std::string& argument, RunSettings& settings)
    : settings_(settings),
      names_(fileNamesOrThrow(argument, settings)),
      input_(openInputOrThrow(names_)),
      output_(names_.output, names_.toStandardOutput),
      warnings_(input_.name, stderr),
      writer_(*settings.options.writer) {}

void FileConversion::convert() {
    createOutput();
    shape_ = {addressWidthFor(settings_), settings_.options.dataWidth, settings_.options.fill};
    std::fputs(writer_.nameNotice(names_.unit).c_str(), stderr);
    putInPlace(writeOutput());
}

// An output that is the input itself, through a link, would replace the image it is made from; under
// the default name, a form that keeps other tools' files keeps them. Standard output is there to be
// written, and when it was closed, writing it fails.
void FileConversion::createOutput() {
    if (!names_.toStandardOutput && isSameFile(input_.file.get(), names_.output)) {
        throw fileFailure("can not create output file", names_.output, "it is the input file");
    }
    if (!output_.create()) {
        throw fileFailure(names_.toStandardOutput ? "can not write output file" : "can not create output file",
                          names_.output, output_.failure());
    }
    if (!settings_.options.outputName && writer_.form().keepsOtherFiles && holdsOtherThanWords(output_.previous())) {
        throw fileFailure("can not create output file", names_.output,
                          "it is not a word file, so it is kept; -o names the output to write");
    }
}

// Streams every word of the input into the output, saying each doubt about the input as it is found,
// and those about the whole file once it has been read to its end. The output is finished but not
// yet in place.
FileConversion::WrittenOutput FileConversion::writeOutput() {
    CrLfFileBuf buffer(output_.file(), output_.previous());
    LineSink sink(buffer);
    TextInput text(input_.file.get());
    const Options& options = settings_.options;
    HexRecordReader reader(text, warnings_, {shape_.bytesPerWord(), options.base, options.bigEndian, options.crop});
    const std::string notIntelHex = reader.whyNotIntelHex();
    const auto failIfUnread = [&] {
        if (text.failed()) {
            throw fileFailure("can not read input file", warnings_.source(), errorText(text.error()));
        }
    };
    failIfUnread();
    if (!notIntelHex.empty()) {
        throw ConversionFailure{notIntelHex, true};
    }
    const AddressFit fit = writeRom(reader, warnings_, writer_, sink, {{names_.unit, names_.stem}, shape_, options.crop});
    failIfUnread();
    // A write error may show only when the last block is written.
    if (!buffer.finish()) {
        throw fileFailure("can not write output file", names_.output, errorText(buffer.error()));
    }
    if (!reader.endRecordRead()) {
        warnings_.warn("the file has no end record");
    }
    if (!fit.anyInside() && !reader.anyDataByte()) {
        warnings_.warn("the file gives no word for the ROM");
    } else if (!fit.anyInside()) {
        char text[112];
        std::snprintf(text, sizeof text,
                      "no word of the file lies within the address width %d; its data starts at byte address %08llX",
                      static_cast<int>(shape_.addressWidth), static_cast<unsigned long long>(reader.lowestDataByte()));
        warnings_.warn(text);
    }
    return {fit, reader.bytesBelowBase(), reader.firstBelowBase(), buffer.matchesPrevious()};
}

std::string FileConversion::fitWarning(const AddressFit& fit) const {
    char text[160];
    std::snprintf(text, sizeof text,
                  "address %04llX does not fit the address width %d; a width of %d holds every address, or --crop "
                  "leaves such words out",
                  static_cast<unsigned long long>(fit.firstOutside()), static_cast<int>(shape_.addressWidth),
                  fit.widthNeeded());
    return text;
}

// Puts a finished output in place, unless --strict refuses it for a warning; then says what became of
// words beyond the address width and of data below the base.
void FileConversion::putInPlace(const WrittenOutput& written) {
    const AddressFit& fit = written.fit;
    const bool wordsOutside = fit.anyOutside() && !settings_.options.crop;
    if (settings_.options.strict && (warnings_.any() || wordsOutside)) {
        if (wordsOutside) {
            warnings_.warn(fitWarning(fit));
        }
        throw ConversionFailure{"output file " + names_.output +
                                    (output_.writesInPlace() ? " was written as it went, but" : " not written:") +
                                    " --strict makes warnings errors\n",
                                true};
    }
    if (!output_.complete(written.unchanged)) {
        throw fileFailure("can not write output file", names_.output, output_.failure());
    }
    if (wordsOutside) {
        warnings_.warn(fitWarning(fit));
    } else if (fit.anyOutside()) {
        std::fprintf(stderr,
                     "%s: note: words beyond the address width %d are left out: %llu, the first at address %04llX\n",
                     warnings_.source().c_str(), static_cast<int>(shape_.addressWidth),
                     static_cast<unsigned long long>(fit.outsideCount()),
                     static_cast<unsigned long long>(fit.firstOutside()));
    }
    if (written.bytesBelowBase != 0 && settings_.options.crop) {
        std::fprintf(stderr, "%s: note: bytes below the base address %08llX are left out: %llu, the first at address %08llX\n",
                     warnings_.source().c_str(), static_cast<unsigned long long>(settings_.options.base),
                     static_cast<unsigned long long>(written.bytesBelowBase),
                     static_cast<unsigned long long>(written.firstBelowBase));
    }
}

}  // namespace romtools
