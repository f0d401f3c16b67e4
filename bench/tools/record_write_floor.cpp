// The system-call floor of the default output mode: the bytes of a finished
// DXF file written again, one write call per record.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: record_write_floor SOURCE.dxf TARGET\n");
        return 2;
    }
    std::string data;
    if (std::FILE* f = std::fopen(argv[1], "rb")) {
        char block[1 << 16];
        for (std::size_t n; (n = std::fread(block, 1, sizeof block, f)) > 0;) data.append(block, n);
        std::fclose(f);
    }
    const int fd = ::open(argv[2], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return 1;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\n', start);
        end = end == std::string::npos ? data.size() : end + 1;
        if (::write(fd, data.data() + start, end - start) != static_cast<ssize_t>(end - start)) return 1;
        start = end;
    }
    return ::close(fd) == 0 ? 0 : 1;
}
