// FileConversion: one HEX file's conversion, from its argument to its output in place.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "address_fit.h"
#include "command_line.h"
#include "file_names.h"
#include "input_warnings.h"
#include "output_file.h"
#include "program_description.h"

namespace romtools {

// What one run holds for all its files: its options, and the address width once it is known.
struct RunSettings {
    const Options& options;
    const ProgramDescription& program;
    std::optional<std::int32_t> addressWidth;  // given by -w, or answered at the first file that asks
    bool unanswered = false;  // standard input ended before an answer, and --strict takes no default
    // -w was given: nothing reads standard input.
    bool batch() const { return options.addressWidth.has_value(); }
};

// Why a conversion cannot go on. The steps throw it, and the run alone reports it; by then the files
// have closed themselves and the output's owner has removed its temporary file.
struct ConversionFailure {
    std::string message;
    bool awaitsKeystroke;  // a file was at fault: the console window stays until the user has read it
};

// One file's conversion: its names, its input, its output, the doubts about its input, the ROM's shape
// and the writer. Made, it has the names and the input open; convert() creates the output, asks for the
// width unless the run knows it, streams every word through the writer and puts the output in place.
// Either throws ConversionFailure.
class FileConversion {
public:
    FileConversion(const std::string& argument, RunSettings& settings);

    void convert();

private:
    // What writing the output leaves for putting it in place: the words beyond the address width and
    // the bytes below the base, for the run to say, and whether the output equals the file it replaces.
    struct WrittenOutput {
        AddressFit fit;
        std::uint64_t bytesBelowBase;
        std::uint64_t firstBelowBase;
        bool unchanged;
    };

    void createOutput();
    WrittenOutput writeOutput();
    void putInPlace(const WrittenOutput& written);
    std::string fitWarning(const AddressFit& fit) const;

    RunSettings& settings_;
    const FileNames names_;
    const OpenedInput input_;
    OutputFile output_;
    InputWarnings warnings_;
    RomWriter& writer_;
    RomShape shape_;
};

}  // namespace romtools
