#include "vhdl_entity.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "line_format.h"

namespace romtools {

namespace {

// IEEE 1076's reserved words of VHDL-2008 and VHDL-2019, and the names that the written unit uses
// itself: an entity under any of them does not analyse, or one of the unit's own names hides it.
constexpr std::string_view kReservedNames[] = {
    "abs", "access", "after", "alias", "all", "and", "architecture", "array", "assert", "assume",
    "assume_guarantee", "attribute", "begin", "block", "body", "buffer", "bus", "case", "component",
    "configuration", "constant", "context", "cover", "default", "disconnect", "downto", "else", "elsif",
    "end", "entity", "exit", "fairness", "file", "for", "force", "function", "generate", "generic",
    "group", "guarded", "if", "impure", "in", "inertial", "inout", "is", "label", "library", "linkage",
    "literal", "loop", "map", "mod", "nand", "new", "next", "nor", "not", "null", "of", "on", "open",
    "or", "others", "out", "package", "parameter", "port", "postponed", "private", "procedure",
    "process", "property", "protected", "pure", "range", "record", "register", "reject", "release",
    "rem", "report", "restrict", "restrict_guarantee", "return", "rol", "ror", "select", "sequence",
    "severity", "shared", "signal", "sla", "sll", "sra", "srl", "strong", "subtype", "then", "to",
    "transport", "type", "unaffected", "units", "until", "use", "variable", "view", "vmode", "vprop",
    "vunit", "wait", "when", "while", "with", "xnor", "xor",
    "ieee", "std", "work", "std_logic", "std_logic_vector", "unsigned", "to_integer", "rising_edge",
    "string", "text", "line", "read_mode", "character", "natural", "integer", "readline", "read", "endfile",
    "failure", "cr", "to_unsigned", "romaddr", "romout", "clk", "rom_type", "rom_data", "rom_words", "init_file",
    "words", "word", "text_line", "digit", "nibble", "address", "position", "file_name",
};

bool isReserved(std::string_view name) {
    return std::find(std::begin(kReservedNames), std::end(kReservedNames), name) != std::end(kReservedNames);
}

bool isLetter(char character) {
    return character >= 'a' && character <= 'z';
}

bool isLetterOrDigit(char character) {
    return isLetter(character) || (character >= '0' && character <= '9');
}

// A letter, then letters, digits and single underscores, with no underscore at the end; the name is in
// lower case by now.
bool isBasicIdentifier(std::string_view name) {
    if (name.empty() || !isLetter(name.front()) || name.back() == '_') {
        return false;
    }
    for (std::size_t i = 1; i < name.size(); ++i) {
        if (!isLetterOrDigit(name[i]) && (name[i] != '_' || name[i - 1] == '_')) {
            return false;
        }
    }
    return true;
}

// The unit's name with A to Z lowered.
std::string baseName(std::string_view unit) {
    std::string name(unit);
    for (char& character : name) {
        if (character >= 'A' && character <= 'Z') {
            character = static_cast<char>(character - 'A' + 'a');
        }
    }
    return name;
}

// The base name, or the name mended from it when VHDL does not take it.
std::string entityName(const std::string& base) {
    if (isBasicIdentifier(base) && !isReserved(base)) {
        return base;
    }
    std::string name;
    for (const char character : base) {
        if (isLetterOrDigit(character)) {
            name += character;
        } else if (!name.empty() && name.back() != '_') {
            name += '_';
        }
    }
    if (!name.empty() && name.back() == '_') {
        name.pop_back();
    }
    if (name.empty()) {
        return "rom";
    }
    if (!isLetter(name.front())) {
        return "rom_" + name;
    }
    return isReserved(name) ? name + "_rom" : name;
}

}  // namespace

std::string vhdlEntityName(std::string_view unit) {
    return entityName(baseName(unit));
}

std::string VhdlRomWriter::nameNotice(std::string_view unit) const {
    const std::string base = baseName(unit);
    const std::string name = entityName(base);
    return name == base ? "" : "entity name " + base + " is not a VHDL name; the entity is named " + name + "\n";
}

void writeVhdlEntity(LineSink& sink, const std::string& name, const RomShape& shape,
                     std::string_view moreLibraryClauses, std::string_view portsBeforeAddress,
                     std::string_view generics) {
    // Widened first: the width may be the most negative 32-bit number.
    const std::string addressBound = std::to_string(static_cast<long long>(shape.addressWidth) - 1);
    sink << "library ieee;\n"
            "use ieee.std_logic_1164.all;\n"
         << moreLibraryClauses
         << "\n"
            "entity " << name << " is\n"
         << generics << "\tport (\n"
         << portsBeforeAddress
         << "\t\tromaddr\t: in  std_logic_vector(" << addressBound << " downto 0);\n"
            "\t\tromout\t: out std_logic_vector(" << std::to_string(shape.dataWidth - 1) << " downto 0)\n"
            "\t);\n"
            "end " << name << ";\n"
            "\n"
            "architecture RTL of " << name << " is\n";
}

std::uint64_t romDepth(const RomShape& shape) {
    return std::uint64_t{1} << std::clamp(shape.addressWidth, 0, 63);
}

void writeRomType(LineSink& sink, const RomShape& shape) {
    sink << "\ttype rom_type is array (" << std::to_string(romDepth(shape) - 1) << " downto 0) of std_logic_vector("
         << std::to_string(shape.dataWidth - 1) << " downto 0);\n";
}

void writeFillChoice(LineSink& sink, std::string_view before, const RomShape& shape, std::string_view after) {
    sink << before;
    writeBits(sink, shape.fill, shape.dataWidth);
    sink << after;
}

}  // namespace romtools
