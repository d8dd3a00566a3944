// Hostile roster files: the properties every file, however damaged or
// crafted, must keep, each checked over arbitrary input bytes. libFuzzer
// drives them (tests/fuzz/*_fuzzer.cpp); the test programs replay the seed
// corpus and every kept crash input through the same functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace rostrel::fuzz {

// Each returns an empty text when the property held, else what went wrong.

// The whole open path, the bytes taken as a roster file, as a saved game, and
// as a saved game's roster part behind 65088 bytes: extension check, header,
// list fill, mapping, both names of every listed player read through the view.
// Nothing may change in the file.
std::string CheckOpenPath(const std::uint8_t* data, std::size_t size);

// Input: one control byte (bit 7: a saved game, bits 0-6: how many bytes at
// the end are text for the boxes), then the file. Every listed player (up to
// a bound) is loaded into in-memory pages, every editable control gets text,
// and the player is saved: every changed byte must lie in that player's
// record, its name units or the four checksum bytes, and the stored checksum
// must be the CRC-32 of bytes 4 ... end.
std::string CheckEditRound(const std::uint8_t* data, std::size_t size);

// Every listed player loaded and saved with no control touched: only the four
// checksum bytes may change.
std::string CheckNoEditRound(const std::uint8_t* data, std::size_t size);

// The input is a roster's history file, beside a sound roster of six players.
// Reading it, replaying it and planning an undo and a redo change nothing in
// the roster; a save with history then writes exactly what it writes without
// one, and its entry is the history's newest; a file that was no history of
// the roster was moved aside as it was.
std::string CheckHistoryFile(const std::uint8_t* data, std::size_t size);
// A history of two saves, the same cut short and with a flipped byte, and two that are no history.
std::vector<std::vector<std::uint8_t>> HistorySeeds();

// One scratch file per process and extension, in the temporary folder.
std::string ScratchPath(const char* extension);
// A saved game: 65088 filler bytes, then data as its roster part.
constexpr std::size_t kSavedGameFill = 65088;
std::vector<std::uint8_t> AsSavedGame(const std::uint8_t* data, std::size_t size);

// The seed corpus: good files of both kinds and each malformed variant, as
// (file name, bytes). The file name's extension says the kind.
std::vector<std::pair<std::string, std::vector<std::uint8_t>>> SeedCorpus();

// The input of the edit targets for one seed file.
std::vector<std::uint8_t> EditInput(const std::string& name, const std::vector<std::uint8_t>& file);

}  // namespace rostrel::fuzz
