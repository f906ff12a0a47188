#include "word_file_writer.h"

#include <algorithm>

#include "line_format.h"

namespace romtools {

namespace {

// A page holds the words of 64K addresses, or of all of a smaller ROM.
constexpr unsigned kPageBits = 16;

// The fill lines written at a time: a few KiB of them.
constexpr std::size_t kFillBlock = 4096;

}  // namespace

OutputForm WordFileWriter::form() const {
    return {"mem", "a word file, a hex word a line", kWordFileExtension, kMaxWordListAddressWidth, true};
}

void WordFileWriter::writeHeader(LineSink& sink, const RomNames& /*names*/, const RomShape& shape) {
    // The run keeps the width to 1..24; clamped, any width gives some file.
    lines_ = std::uint64_t{1} << std::clamp(shape.addressWidth, 0, kMaxWordListAddressWidth);
    pageSize_ = std::min<std::uint64_t>(lines_, std::uint64_t{1} << kPageBits);
    pages_.clear();
    pages_.resize(lines_ / pageSize_);
    std::string line(shape.hexDigits(), '0');
    putHexDigits(line.data(), shape.fill, shape.hexDigits());
    line += std::string(separator()) + "\r\n";
    fillLineSize_ = line.size();
    fillLines_.clear();
    while (fillLines_.size() + line.size() <= kFillBlock) {
        fillLines_ += line;
    }
    sink << header();
}

void WordFileWriter::writeWord(LineSink& /*sink*/, const RomWord& word, const RomShape& shape) {
    if (word.address >= lines_) {
        return;
    }
    std::unique_ptr<std::uint64_t[]>& page = pages_[word.address >> kPageBits];
    if (!page) {
        page = std::make_unique_for_overwrite<std::uint64_t[]>(pageSize_);
        std::fill_n(page.get(), pageSize_, shape.fill);
    }
    page[word.address & (pageSize_ - 1)] = word.data & shape.dataMask();
}

void WordFileWriter::writeTrailer(LineSink& sink, const RomShape& shape) {
    // Every line but the last, a page at a time; then the last, with its own separator.
    for (std::uint64_t first = 0; first < lines_; first += pageSize_) {
        writeLines(sink, first, std::min(first + pageSize_, lines_ - 1), shape);
    }
    const std::unique_ptr<std::uint64_t[]>& lastPage = pages_.back();
    writeWordLine(sink, lastPage ? lastPage[pageSize_ - 1] : shape.fill, shape.hexDigits(), lastSeparator());
    pages_.clear();
}

// The lines of the addresses from first to end (not included), all on first's page.
void WordFileWriter::writeLines(LineSink& sink, std::uint64_t first, std::uint64_t end, const RomShape& shape) {
    const std::unique_ptr<std::uint64_t[]>& page = pages_[first >> kPageBits];
    if (!page) {
        writeFillLines(sink, end - first);
        return;
    }
    for (std::uint64_t address = first; address < end; ++address) {
        writeWordLine(sink, page[address & (pageSize_ - 1)], shape.hexDigits(), separator());
    }
}

void WordFileWriter::writeWordLine(LineSink& sink, std::uint64_t word, unsigned digits, std::string_view after) {
    sink.writeLine(16 + after.size(), [&](char* out) { return putText(putHexDigits(out, word, digits), after); });
}

void WordFileWriter::writeFillLines(LineSink& sink, std::uint64_t count) {
    const std::uint64_t linesInBlock = fillLines_.size() / fillLineSize_;
    while (count > 0) {
        const std::uint64_t lines = std::min(count, linesInBlock);
        sink.writeBytes(std::string_view(fillLines_).substr(0, lines * fillLineSize_));
        count -= lines;
    }
}

}  // namespace romtools
