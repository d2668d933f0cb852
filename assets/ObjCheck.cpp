#include "assets/ObjCheck.h"

#include <cctype>
#include <cstddef>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kFaceCorners = 3;
constexpr std::size_t kMaxIndexDigits = 9; // keeps every index far below any counter's range

// Declared element counts so far; a face may only refer to what is already declared.
struct Counts {
    std::size_t positions = 0;
    std::size_t uvs = 0;
    std::size_t normals = 0;
};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips one or more digits; false when there is none.
bool skipDigits(std::string_view token, std::size_t& at) {
    const std::size_t start = at;
    while (at < token.size() && isDigit(token[at])) {
        ++at;
    }
    return at > start;
}

bool isNumber(std::string_view token) {
    std::size_t at = 0;
    if (at < token.size() && (token[at] == '+' || token[at] == '-')) {
        ++at;
    }
    if (!skipDigits(token, at)) {
        return false;
    }
    if (at < token.size() && token[at] == '.') {
        ++at;
        if (!skipDigits(token, at)) {
            return false;
        }
    }
    if (at < token.size() && (token[at] == 'e' || token[at] == 'E')) {
        ++at;
        if (at < token.size() && (token[at] == '+' || token[at] == '-')) {
            ++at;
        }
        if (!skipDigits(token, at)) {
            return false;
        }
    }
    return at == token.size();
}

bool allNumbers(const std::vector<std::string_view>& tokens) {
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        if (!isNumber(tokens[i])) {
            return false;
        }
    }
    return true;
}

// A 1-based index no larger than count.
bool isIndexWithin(std::string_view digits, std::size_t count) {
    if (digits.empty() || digits.size() > kMaxIndexDigits) {
        return false;
    }
    std::size_t value = 0;
    for (char c : digits) {
        if (!isDigit(c)) {
            return false;
        }
        value = value * 10 + static_cast<std::size_t>(c - '0');
    }
    return value >= 1 && value <= count;
}

// Checks one face corner and returns its form: 1 "v", 2 "v/t", 3 "v//n", 4 "v/t/n"; 0 when
// it is malformed or refers to an undeclared element.
int cornerForm(std::string_view corner, const Counts& counts) {
    const std::size_t firstSlash = corner.find('/');
    if (firstSlash == std::string_view::npos) {
        return isIndexWithin(corner, counts.positions) ? 1 : 0;
    }
    const std::string_view position = corner.substr(0, firstSlash);
    const std::string_view rest = corner.substr(firstSlash + 1);
    const std::size_t secondSlash = rest.find('/');
    if (!isIndexWithin(position, counts.positions)) {
        return 0;
    }
    if (secondSlash == std::string_view::npos) {
        return isIndexWithin(rest, counts.uvs) ? 2 : 0;
    }
    const std::string_view uv = rest.substr(0, secondSlash);
    const std::string_view normal = rest.substr(secondSlash + 1);
    if (!isIndexWithin(normal, counts.normals)) {
        return 0;
    }
    if (uv.empty()) {
        return 3;
    }
    return isIndexWithin(uv, counts.uvs) ? 4 : 0;
}

bool isFace(const std::vector<std::string_view>& tokens, const Counts& counts) {
    if (tokens.size() != 1 + kFaceCorners) {
        return false;
    }
    const int form = cornerForm(tokens[1], counts);
    return form != 0 && cornerForm(tokens[2], counts) == form &&
           cornerForm(tokens[3], counts) == form;
}

bool isWord(std::string_view token) {
    for (char c : token) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

std::vector<std::string_view> splitTokens(std::string_view line) {
    std::vector<std::string_view> tokens;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
            ++at;
        }
        const std::size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') {
            ++at;
        }
        if (at > start) {
            tokens.push_back(line.substr(start, at - start));
        }
    }
    return tokens;
}

// Bytes the importer could take for a line end, a continuation or the end of its buffer.
bool hasForbiddenByte(std::string_view line) {
    for (char c : line) {
        if (c == '\0' || c == '\r' || c == '\f' || c == '\\') {
            return true;
        }
    }
    return false;
}

bool isPrintableStatement(std::string_view line) {
    for (char c : line) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte != '\t' && (byte < ' ' || byte > '~')) {
            return false;
        }
    }
    return true;
}

enum class Statement { Skip, MaterialLibrary, Element, Rejected };

// Checks one line (without its line end) and counts what it declares.
Statement checkLine(std::string_view line, Counts& counts) {
    if (hasForbiddenByte(line)) {
        return Statement::Rejected;
    }
    if (line.empty() || line[0] == '#') {
        return Statement::Skip;
    }
    if (!isPrintableStatement(line)) {
        return Statement::Rejected;
    }
    const std::vector<std::string_view> tokens = splitTokens(line);
    if (tokens.empty()) {
        return Statement::Skip;
    }
    // The importer dispatches on the first byte of the line, so a statement starts there.
    if (line[0] == ' ' || line[0] == '\t') {
        return Statement::Rejected;
    }
    const std::string_view keyword = tokens[0];
    const std::size_t arguments = tokens.size() - 1;
    if (keyword == "v" || keyword == "vn") {
        if (arguments != 3 || !allNumbers(tokens)) {
            return Statement::Rejected;
        }
        ++(keyword == "v" ? counts.positions : counts.normals);
        return Statement::Element;
    }
    if (keyword == "vt") {
        if ((arguments != 2 && arguments != 3) || !allNumbers(tokens)) {
            return Statement::Rejected;
        }
        ++counts.uvs;
        return Statement::Element;
    }
    if (keyword == "f") {
        return isFace(tokens, counts) ? Statement::Element : Statement::Rejected;
    }
    if (keyword == "o" || keyword == "g" || keyword == "usemtl") {
        return arguments >= 1 ? Statement::Element : Statement::Rejected;
    }
    if (keyword == "mtllib") {
        return arguments >= 1 ? Statement::MaterialLibrary : Statement::Rejected;
    }
    if (keyword == "s") {
        return arguments == 1 && isWord(tokens[1]) ? Statement::Element : Statement::Rejected;
    }
    return Statement::Rejected;
}

} // namespace

bool checkObjText(std::string& text) {
    Counts counts;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos) {
            lineEnd = text.size();
        }
        std::string_view line(text.data() + lineStart, lineEnd - lineStart);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        switch (checkLine(line, counts)) {
        case Statement::Rejected:
            return false;
        case Statement::MaterialLibrary:
            text[lineStart] = '#';
            break;
        case Statement::Skip:
        case Statement::Element:
            break;
        }
        lineStart = lineEnd + 1;
    }
    if (!text.empty() && text.back() != '\n') {
        text.push_back('\n');
    }
    return true;
}
