#pragma once
// The firmware tests' files and what the simulated boot loader received.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace firmwaretest {

inline std::string Fixture(const std::string& name) {
    return std::string(VEMO_TEST_DATA) + "/firmware/" + name;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    const std::string text = ReadFile(path);
    return {text.begin(), text.end()};
}

inline void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// full.hex with one of its lines damaged the way a bad copy might: returns the path of the
// damaged copy in dir. `line` counts from 1.
enum class Damage { DataDigit, LetterG, OneShort };
inline std::string DamagedCopy(const QTemporaryDir& dir, Damage damage, int line) {
    std::string text = ReadFile(Fixture("full.hex"));
    std::size_t at = 0;
    for (int i = 1; i < line; ++i)
        at = text.find('\n', at) + 1;
    const std::size_t data = at + 9 + 6; // the fourth data byte's first digit
    switch (damage) {
    case Damage::DataDigit:
        text[data] = text[data] == '0' ? '1' : '0';
        break;
    case Damage::LetterG:
        text[data] = 'G';
        break;
    case Damage::OneShort:
        text.erase(data, 1);
        break;
    }
    const std::string path = dir.filePath("damaged.hex").toStdString();
    WriteFile(path, text);
    return path;
}

// The records in what the boot loader received, split at each ":"; what came before the
// first record (the "P" and the "U"s) goes to `before`.
inline std::vector<std::string> SplitRecords(const std::vector<std::uint8_t>& received,
                                             std::string* before = nullptr) {
    std::vector<std::string> records;
    std::string head;
    for (std::uint8_t b : received) {
        if (b == ':')
            records.emplace_back(1, ':');
        else if (records.empty())
            head += static_cast<char>(b);
        else
            records.back() += static_cast<char>(b);
    }
    if (before) *before = head;
    return records;
}

} // namespace firmwaretest
