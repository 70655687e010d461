// Writes the fuzzers' seed inputs into <folder>/bmp, <folder>/param and the
// others: the kinds of BMP, parameter and reference file the tests write,
// good ones and near misses.
#include "io/ParamFileWriter.h"
#include "tests/image/BmpWriter.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using bmptest::EncodeBmp;
using bmptest::Encoding;
using bmptest::Gradient;
using Bytes = std::vector<std::uint8_t>;

Encoding Depth(std::uint16_t bits, bool topDown) {
    Encoding e;
    e.bitCount = bits;
    e.topDown = topDown;
    e.padByte = 0xA5;
    e.fourthByte = 0x3C;
    if (bits == 8) {
        for (std::uint32_t i = 0; i < 256; ++i) {
            e.palette.push_back((i * 0x9E3779B9u) >> 8);
        }
    }
    return e;
}

std::vector<Bytes> BmpSeeds() {
    std::vector<Bytes> seeds;
    for (const std::uint16_t bits : {8, 24, 32}) {
        for (const bool topDown : {false, true}) {
            for (const std::int32_t width : {1, 2, 3, 5, 8}) {
                seeds.push_back(EncodeBmp(Gradient(width, 3, bits), Depth(bits, topDown)));
            }
        }
    }
    Encoding shortTable; // two real entries; the rest come from the pixel rows
    shortTable.bitCount = 8;
    shortTable.palette = {0x000000, 0xFFFFFF};
    seeds.push_back(EncodeBmp(Gradient(32, 32), shortTable));
    Encoding gap;
    gap.gap = 37;
    gap.gapByte = 0xEE;
    seeds.push_back(EncodeBmp(Gradient(5, 4), gap));
    for (const std::int32_t height : {0, 3, -4}) { // 56-byte files with no pixel
        bmptest::Header h;
        h.width = height == 0 ? 5 : 0;
        h.height = height;
        Bytes head = bmptest::HeadBytes(h);
        head.resize(head.size() + 2, 0);
        seeds.push_back(head);
    }
    return seeds;
}

std::string Text(const ParamPositionSet& positions, const std::string& lineEnd) {
    std::string text;
    for (std::string line : FormatParamFile(positions)) {
        line.resize(line.size() - 2); // without its CR LF
        text += line + lineEnd;
    }
    return text;
}

// A colour negative's file with two neutral picks.
std::string FilmText(const ParamPositionSet& positions) {
    FilmSettings film = UnmeasuredFilm(FilmMode::ColourNegative);
    film.neutralCount = kMaxNeutralPicks;
    film.neutrals = {ChannelValues{0.05, 0.03, 0.02}, ChannelValues{0.3, 0.2, 0.1}};
    std::string text;
    for (const std::string& line : FormatParamFile(positions, film)) {
        text += line;
    }
    return text;
}

std::vector<std::string> ParamSeeds() {
    const ParamPositionSet defaults{};
    const ParamPositionSet mixed = {ParamPositions{0, 200, 0, 150},
                                    ParamPositions{100, 255, 200, 250},
                                    ParamPositions{37, 213, 99, 222}};
    return {
        Text(defaults, "\r\n"),
        Text(mixed, "\n"),
        Text(mixed, "\r"),
        Text(mixed, "\r\n") + "BlackR=101\r\n",
        "  BlackR  =  12  \r\n\tGammaG\v=\f0200\t\n;BlackR=5\n ;x=1\nBlack R=3\n" +
            Text(mixed, "\r\n").substr(19),
        "BlackR=5" + std::string(130, ' ') + "\n" + Text(defaults, "\n") + "WhiteB=255",
        FilmText(mixed),
    };
}

// Reference files as chart makers ship them: Lab or XYZ, long and short
// IDs, a keyword of the maker's own, and two tables.
std::vector<std::string> CgatsSeeds() {
    const std::string head = "CGATS.17\nORIGINATOR \"seed\"\nKEYWORD \"SAMPLE_NAME\"\n"
                             "NUMBER_OF_FIELDS 5\nBEGIN_DATA_FORMAT\n";
    return {
        head + "SAMPLE_ID SAMPLE_NAME LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 3\n"
               "BEGIN_DATA\nA01 \"dark skin\" 37.54 14.37 14.92\nD06 \"black\" 20.64 0.07 "
               "-0.46\nGS00 \"white\" 95.19 -1.03 2.93\nEND_DATA\n",
        head + "SAMPLE_ID SAMPLE_NAME XYZ_X XYZ_Y XYZ_Z\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\n"
               "BEGIN_DATA\nA1 a 11.2 10.1 7.3\nGS0 w 84.1 87.5 71.0\nEND_DATA\n",
        "IT8.7/2\nNUMBER_OF_FIELDS 2\nBEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L\nEND_DATA_FORMAT\n"
        "NUMBER_OF_SETS 1\nBEGIN_DATA\nA1 50\nEND_DATA\nNUMBER_OF_FIELDS 4\n"
        "BEGIN_DATA_FORMAT\nSAMPLE_ID LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\nNUMBER_OF_SETS 1\n"
        "BEGIN_DATA\nB2 50 1 -1\nEND_DATA\n",
    };
}

bool Write(const fs::path& path, const void* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    fs::create_directories(folder / "bmp");
    fs::create_directories(folder / "param");
    fs::create_directories(folder / "pnm");
    fs::create_directories(folder / "cgats");
    bool ok = true;
    int n = 0;
    for (const Bytes& seed : BmpSeeds()) {
        ok &= Write(folder / "bmp" / ("seed" + std::to_string(n++) + ".bmp"), seed.data(),
                    seed.size());
    }
    for (const std::string& seed : ParamSeeds()) {
        ok &= Write(folder / "param" / ("seed" + std::to_string(n++) + ".tvp"), seed.data(),
                    seed.size());
    }
    // Binary PNM heads of each kind and depth, with a comment, and a few samples.
    const std::string pnmSeeds[] = {"P6\n# scan\n2 1\n65535\n", "P5\n3 2\n255\n", "P6 1 1 4095\n",
                                    "P5\n1 1\n1\n"};
    for (const std::string& head : pnmSeeds) {
        const std::string seed = head + std::string(24, '\x5a');
        ok &= Write(folder / "pnm" / ("seed" + std::to_string(n++) + ".pnm"), seed.data(),
                    seed.size());
    }
    for (const std::string& seed : CgatsSeeds()) {
        ok &= Write(folder / "cgats" / ("seed" + std::to_string(n++) + ".txt"), seed.data(),
                    seed.size());
    }
    return ok ? 0 : 1;
}
