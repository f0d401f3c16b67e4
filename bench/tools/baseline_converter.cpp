// A straightforward converter for comparison: the whole input read at once,
// values parsed with std::from_chars, coordinates formatted with std::to_chars,
// the whole output written with one fwrite. Not built for errors: it is a yardstick.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>

namespace {

std::string read_all(const char* name) {
    std::string data;
    if (std::FILE* f = std::fopen(name, "rb")) {
        char block[1 << 16];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) data.append(block, n);
        std::fclose(f);
    }
    return data;
}

const char* skip_blanks(const char* p, const char* end) {
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n' || *p == ',')) ++p;
    return p;
}

void append_coordinate(std::string& out, float value) {
    char text[64];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
    std::string_view s(text, static_cast<std::size_t>(end - text));
    bool negative = s.front() == '-';
    if (negative) s.remove_prefix(1);
    if (s == "0.0") negative = false;
    if (s.starts_with("0.")) s.remove_prefix(1);
    if (negative) out += '-';
    out += s;
    out += "\r\n";
}

}  // namespace

int main() {
    const std::string in = read_all("input.txt");
    const char* p = in.data();
    const char* end = p + in.size();
    int count = 0;
    p = skip_blanks(p, end);
    p = std::from_chars(p, end, count).ptr;
    std::string out;
    out.reserve(static_cast<std::size_t>(count > 0 ? count : 0) * 64 + 512);
    static constexpr const char* kHeader[] = {
        "  0", "SECTION", "  2", "HEADER", "  9", "$ACADVER", "  1", "AC1009", "  9", "$PDMODE", " 70", "    35",
        "  9", "$PDSIZE", " 40", "0.0", "  0", "ENDSEC", "  0", "SECTION", "  2", "TABLES", "  0", "ENDSEC",
        "  0", "SECTION", "  2", "BLOCKS", "  0", "ENDSEC", "  0", "SECTION", "  2", "ENTITIES"};
    for (const char* r : kHeader) (out += r) += "\r\n";
    for (int i = 1; i <= count; ++i) {
        float xyz[3] = {};
        for (float& v : xyz) {
            p = skip_blanks(p, end);
            p = std::from_chars(p, end, v).ptr;
        }
        out += "  0\r\nPOINT\r\n  5\r\n";
        out += std::to_string(i);
        out += "\r\n  8\r\n0\r\n 10\r\n";
        append_coordinate(out, xyz[0]);
        out += " 20\r\n";
        append_coordinate(out, xyz[1]);
        out += " 30\r\n";
        append_coordinate(out, xyz[2]);
    }
    out += "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    std::FILE* f = std::fopen("3dpoint.dxf", "wb");
    if (f == nullptr) return 1;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok ? 0 : 1;
}
