// SPDX-License-Identifier: GPL-3.0-or-later
#include "AvrLibcData.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

namespace kardo::dbsource {
namespace {

// ---- the constant expressions of the device headers ----
//
// The headers write their values as C constant expressions over other macros:
// "(1024 - 1)", "0x1FFFU", "(unsigned char)~_BV(5)", "(FUSE_SPIEN & FUSE_CKDIV8)". This
// evaluates exactly that much of C: integers, object-like macros, _BV, casts, and the
// operators ~ - * + - << >> & ^ |.

struct Failure {
    std::string why;
};

// Arithmetic wraps, as the compiler's own would on these unsigned constants.
int64_t Wrap(uint64_t v) {
    return static_cast<int64_t>(v);
}

class Evaluator {
  public:
    using Values = std::map<std::string, int64_t>;
    Evaluator(const std::map<std::string, std::string>& macros, Values& known)
        : macros_(macros), known_(known) {}

    // A macro's value, worked out once: macros that name others many times over cost
    // no more than their count.
    int64_t Macro(const std::string& name, int depth = 0, int nesting = 0) {
        if (const auto it = known_.find(name); it != known_.end()) {
            return it->second;
        }
        const auto it = macros_.find(name);
        if (it == macros_.end()) {
            throw Failure{name + " is not defined"};
        }
        if (depth > 32) {
            throw Failure{name + " refers to itself"};
        }
        Evaluator inner(macros_, known_);
        inner.depth_ = depth;
        inner.nesting_ = nesting;
        inner.text_ = it->second;
        const int64_t value = inner.Or();
        inner.Space();
        if (inner.at_ != inner.text_.size()) {
            throw Failure{name + ": cannot read \"" + it->second + "\""};
        }
        known_[name] = value;
        return value;
    }

  private:
    void Space() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        }
    }
    bool Take(std::string_view op) {
        Space();
        if (text_.compare(at_, op.size(), op) != 0) {
            return false;
        }
        // "<" alone is not "<<", "&" alone not "&&".
        if (op.size() == 1 && at_ + 1 < text_.size() && text_[at_ + 1] == op[0] &&
            (op == "&" || op == "|" || op == "<" || op == ">")) {
            return false;
        }
        at_ += op.size();
        return true;
    }
    std::string Word() {
        Space();
        std::size_t end = at_;
        while (end < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(text_[end])) || text_[end] == '_')) {
            ++end;
        }
        std::string word = text_.substr(at_, end - at_);
        at_ = end;
        return word;
    }

    int64_t Or() {
        int64_t v = Xor();
        while (Take("|")) {
            v |= Xor();
        }
        return v;
    }
    int64_t Xor() {
        int64_t v = And();
        while (Take("^")) {
            v ^= And();
        }
        return v;
    }
    int64_t And() {
        int64_t v = Shift();
        while (Take("&")) {
            v &= Shift();
        }
        return v;
    }
    int64_t Shift() {
        int64_t v = Sum();
        for (;;) {
            if (Take("<<")) {
                v = static_cast<int64_t>(static_cast<uint64_t>(v) << (Sum() & 63));
            } else if (Take(">>")) {
                v >>= (Sum() & 63);
            } else {
                return v;
            }
        }
    }
    int64_t Sum() {
        int64_t v = Product();
        for (;;) {
            if (Take("+")) {
                v = Wrap(static_cast<uint64_t>(v) + static_cast<uint64_t>(Product()));
            } else if (Take("-")) {
                v = Wrap(static_cast<uint64_t>(v) - static_cast<uint64_t>(Product()));
            } else {
                return v;
            }
        }
    }
    int64_t Product() {
        int64_t v = Unary();
        while (Take("*")) {
            v = Wrap(static_cast<uint64_t>(v) * static_cast<uint64_t>(Unary()));
        }
        return v;
    }
    int64_t Unary() {
        // Deep nesting is no header's; it is refused before it can exhaust the stack. The
        // count runs on through the macros an expression names.
        if (++nesting_ > 200) {
            throw Failure{"nested too deeply: \"" + text_.substr(0, 40) + "...\""};
        }
        if (Take("~")) {
            return ~Unary();
        }
        if (Take("-")) {
            return Wrap(0 - static_cast<uint64_t>(Unary()));
        }
        Space();
        if (at_ < text_.size() && text_[at_] == '(') {
            const std::size_t open = at_;
            ++at_;
            if (const auto byteWide = Cast()) {
                const int64_t v = Unary();
                return *byteWide ? (v & 0xFF) : v;
            }
            at_ = open + 1;
            const int64_t v = Or();
            if (!Take(")")) {
                throw Failure{"unbalanced parentheses in \"" + text_ + "\""};
            }
            return v;
        }
        return Primary();
    }
    // After "(": a type name and ")" make a cast; says whether it keeps one byte.
    std::optional<bool> Cast() {
        static const std::set<std::string> kTypes{"unsigned", "signed",   "char",
                                                  "short",    "int",      "long",
                                                  "uint8_t",  "uint16_t", "uint32_t"};
        std::vector<std::string> words;
        for (std::string w = Word(); kTypes.contains(w); w = Word()) {
            words.push_back(w);
        }
        if (words.empty() || !Take(")")) {
            return std::nullopt;
        }
        const bool charType = words.back() == "char" || words.back() == "uint8_t";
        return charType;
    }
    int64_t Primary() {
        Space();
        if (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
            std::size_t used = 0;
            const std::string rest = text_.substr(at_);
            int64_t v = 0;
            try {
                v = std::stoll(rest, &used, 0);
            } catch (...) {
                throw Failure{"cannot read the number in \"" + text_ + "\""};
            }
            at_ += used;
            while (at_ < text_.size() &&
                   (std::toupper(static_cast<unsigned char>(text_[at_])) == 'U' ||
                    std::toupper(static_cast<unsigned char>(text_[at_])) == 'L')) {
                ++at_;
            }
            return v;
        }
        const std::string word = Word();
        if (word.empty()) {
            throw Failure{"cannot read \"" + text_ + "\""};
        }
        if (word == "_BV") {
            if (!Take("(")) {
                throw Failure{"_BV without its argument in \"" + text_ + "\""};
            }
            const int64_t bit = Or();
            if (!Take(")") || bit < 0 || bit > 62) {
                throw Failure{"cannot read _BV in \"" + text_ + "\""};
            }
            return int64_t{1} << bit;
        }
        return Evaluator(macros_, known_).Macro(word, depth_ + 1, nesting_);
    }

    const std::map<std::string, std::string>& macros_;
    Values& known_;
    std::string text_;
    std::size_t at_ = 0;
    int depth_ = 0;
    int nesting_ = 0;
};

// A fuse bit macro is one byte with exactly one bit at 0; returns that bit.
std::optional<int> ProgrammedBit(int64_t value) {
    const uint8_t byte = static_cast<uint8_t>(value);
    if (value > 0xFF) {
        return std::nullopt;
    }
    int found = -1;
    for (int bit = 0; bit < 8; ++bit) {
        if ((byte & (1 << bit)) == 0) {
            if (found >= 0) {
                return std::nullopt;
            }
            found = bit;
        }
    }
    return found < 0 ? std::nullopt : std::optional<int>(found);
}

// Only letters and digits go into the compiler's command line.
bool PlainName(const std::string& s) {
    return !s.empty() && s.size() <= 32 && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0;
    });
}

// Runs a shell command and gives its standard output; nullopt when it did not exit 0.
std::optional<std::string> Output(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return std::nullopt;
    }
    std::string out;
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        out.append(chunk, n);
    }
    return pclose(pipe) == 0 ? std::optional<std::string>(out) : std::nullopt;
}

}  // namespace

std::string McuName(const std::string& name) {
    std::string part = name.substr(0, name.find('/'));
    for (char& c : part) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return PlainName(part) ? part : std::string();
}

AvrLibcPart ParseAvrDefinitions(std::string_view preprocessed, std::string& error) {
    error.clear();
    AvrLibcPart part;
    std::map<std::string, std::string> macros;
    std::vector<std::string> order;  // object-like macros, in the order of definition
    std::istringstream lines{std::string(preprocessed)};
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("#define ", 0) != 0) {
            continue;
        }
        const std::size_t start = 8;
        std::size_t end = start;
        while (end < line.size() &&
               (std::isalnum(static_cast<unsigned char>(line[end])) || line[end] == '_')) {
            ++end;
        }
        if (end < line.size() && line[end] == '(') {
            continue;  // function-like: only _BV is used, and that one is built in
        }
        const std::string name = line.substr(start, end - start);
        macros[name] = end < line.size() ? line.substr(end + 1) : "";
        order.push_back(name);
    }

    Evaluator::Values known;
    Evaluator eval(macros, known);
    const auto value = [&](const std::string& name) -> std::optional<int64_t> {
        if (!macros.contains(name)) {
            return std::nullopt;
        }
        return eval.Macro(name);
    };
    try {
        for (int i = 0; i < 3; ++i) {
            part.signature[static_cast<std::size_t>(i)] = value("SIGNATURE_" + std::to_string(i));
        }
        part.flashEnd = value("FLASHEND");
        part.eepromEnd = value("E2END");
        part.pageSize = value("SPM_PAGESIZE");

        // Each byte's bits come before its default; the bits are taken at the value the
        // macro has at the end, which is the one the compiler would use.
        static const std::map<std::string, int> kDefaults{
            {"LFUSE_DEFAULT", 0}, {"HFUSE_DEFAULT", 1}, {"EFUSE_DEFAULT", 2}};
        std::vector<std::string> pending;
        std::set<std::string> seen;
        for (const std::string& name : order) {
            if (const auto d = kDefaults.find(name); d != kDefaults.end()) {
                part.fuseDefault[static_cast<std::size_t>(d->second)] =
                    static_cast<uint8_t>(eval.Macro(name));
                for (const std::string& bitName : pending) {
                    const auto bit = ProgrammedBit(eval.Macro(bitName));
                    part.fuseBits.push_back({bitName.substr(5), d->second, *bit});
                }
                pending.clear();
            } else if (name.rfind("FUSE_", 0) == 0 && name != "FUSE_MEMORY_SIZE" &&
                       seen.insert(name).second && ProgrammedBit(eval.Macro(name))) {
                pending.push_back(name);
            }
        }
        if (!pending.empty()) {
            error = "FUSE_" + pending.front().substr(5) +
                    " comes after the last fuse default: its byte is unknown";
        }
    } catch (const Failure& f) {
        error = f.why;
    }
    if (error.empty() && !part.signature[0]) {
        error = "no SIGNATURE_0: avr-libc has no device header for it";
    }
    return part;
}

AvrLibcPart ReadAvrLibc(const std::string& name, std::string& error) {
    const std::string mcu = McuName(name);
    const std::string device = name.substr(0, name.find('/'));
    if (mcu.empty()) {
        error = "\"" + name + "\" is not a part name the AVR compiler could be given";
        return {};
    }
    // KARDO_AVR_GCC names another compiler (a test names a missing one); it is quoted
    // for the shell, so it may not hold a quote itself.
    const char* chosen = std::getenv("KARDO_AVR_GCC");
    const std::string gcc = chosen != nullptr ? chosen : "avr-gcc";
    if (gcc.empty() || gcc.find('\'') != std::string::npos) {
        error = "KARDO_AVR_GCC is empty or holds a quote";
        return {};
    }
    const std::string quoted = "'" + gcc + "'";
    const std::string input = "printf '#include <avr/io.h>\\n' | ";
    const std::string tail = " -E -dD -x c - 2>/dev/null";
    auto text = Output(input + quoted + " -mmcu=" + mcu + tail);
    if (!text) {
        // The compiler has no -mmcu for some parts avr-libc has a header for; the
        // header is chosen by the device macro that -mmcu would define.
        if (!Output(quoted + " --version >/dev/null 2>&1")) {
            error = gcc + " does not run: install gcc-avr and avr-libc";
            return {};
        }
        text = Output(input + quoted + " -mmcu=avr5 -D__AVR_" + device + "__" + tail);
    }
    if (!text) {
        error = gcc + " knows no part " + mcu;
        return {};
    }
    return ParseAvrDefinitions(*text, error);
}

}  // namespace kardo::dbsource
