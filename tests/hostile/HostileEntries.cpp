#include "hostile/HostileEntries.h"

#include <sys/stat.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <type_traits>
#include <utility>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::string>;

const std::string header = "TestMap,Ann,1000,1-Lap,1.1";

std::string frame(int time) { return std::to_string(time) + ",1.00,2.00,3.00,0,16384,0"; }

void write(const fs::path& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

// An entry that is a file holding these bytes.
std::function<void(const fs::path&, const fs::path&)> bytes(std::string content) {
  return [content = std::move(content)](const fs::path& entry, const fs::path&) { write(entry, content); };
}

// Three good frames, half a second apart, each line ended by end: enough for playback to place the car
// (the last pair of frames is never interpolated).
std::string threeFrames(const std::string& end) { return frame(0) + end + frame(500) + end + frame(1000) + end; }

// A ghost whose first line is this header and whose frames are three good ones.
std::function<void(const fs::path&, const fs::path&)> headed(const std::string& first) {
  return bytes(first + "\r\n" + threeFrames("\r\n"));
}

Lines imported(const std::string& name) { return {"Imported " + name + "."}; }
Lines empty(const std::string& name) { return {"Imported " + name + ".", name + " holds no frames."}; }
Lines stopped(const std::string& name, int line, const std::string& field, const std::string& problem, int frames) {
  return {"Stopped reading " + name + " at line " + std::to_string(line) + ": the " + field + " value " + problem +
          " (frames loaded: " + std::to_string(frames) + ")."};
}
Lines notFound(const std::string& name) { return {"No Ghost found " + name + "."}; }
std::string skipped(const std::string& name, int count) {
  return "Skipped " + std::to_string(count) + (count == 1 ? " line of " : " lines of ") + name +
         " with fewer than seven fields.";
}

// A bad frame line after the header: the time or one of six numbers wrong.
HostileEntry badField(const std::string& name, const std::string& line, const std::string& field,
                      const std::string& problem) {
  return {name, bytes(header + "\r\n" + line + "\r\n"), true, stopped(name, 2, field, problem, 0), 0, ""};
}

HostileEntry goodLine(const std::string& name, const std::string& line) {
  return {name, bytes(header + "\r\n" + line + "\r\n"), true, imported(name), 1, ""};
}

// A good ghost under a name Windows opens as a device: never opened, so neither listed nor loaded.
const std::string device =
    ": the name is a Windows device's (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1 to COM9, LPT1 to LPT9), "
    "which is never opened";
HostileEntry deviceName(const std::string& name) {
  return {name, headed(header), false, notFound(name + device), 0, ""};
}
// A name that Windows reads as a path in its device namespace, whatever its last component.
HostileEntry deviceNamespace(const std::string& name) {
  return {
      name,
      headed(header),
      false,
      notFound(name +
               ": the path is in Windows' device namespace (\\\\.\\ or \\\\?\\GLOBALROOT\\), which is never opened"),
      0,
      ""};
}

// A good ghost under a name the list cannot offer; it can still be picked by typing its name.
HostileEntry unlistableName(const std::string& name) { return {name, headed(header), false, imported(name), 3, ""}; }

// A file of this size holding text at its start and zero bytes after it, made sparse so it costs no disk.
std::function<void(const fs::path&, const fs::path&)> sparse(std::string text, std::uintmax_t size) {
  return [text = std::move(text), size](const fs::path& entry, const fs::path&) {
    write(entry, text);
    fs::resize_file(entry, size);
  };
}

}  // namespace

std::vector<HostileEntry> hostileCatalogue() {
  std::vector<HostileEntry> all = {
      // Whole files that are not ghosts, or barely.
      {"empty.ghost", bytes(""), false, empty("empty.ghost"), 0, ""},
      {"header-only.ghost", bytes(header), true, empty("header-only.ghost"), 0,
       "1-Lap in 00:01:000 by Ann(header-only.ghost)"},
      {"header-crlf.ghost", bytes(header + "\r\n"), true, empty("header-crlf.ghost"), 0, ""},
      {"no-header.ghost", bytes(frame(0) + "\r\n" + threeFrames("\r\n")), false, imported("no-header.ghost"), 3, ""},
      {"bom.ghost", bytes("\xEF\xBB\xBF" + header + "\r\n" + frame(0) + "\r\n"), false, imported("bom.ghost"), 1, ""},
      {"nul-in-header.ghost", bytes(std::string("Test") + '\0' + "Map,Ann,1000,1-Lap,1.1\r\n" + frame(0) + "\r\n"),
       false, imported("nul-in-header.ghost"), 1, ""},
      {"nul-in-field.ghost", bytes(header + "\r\n" + std::string("0,1\0,2,3,4,5,6\r\n", 16)), true,
       imported("nul-in-field.ghost"), 1, ""},
      {"binary.ghost",
       [](const fs::path& entry, const fs::path&) {
         // Random bytes without a line feed: one long header line that names no map.
         std::mt19937 random(1234);
         std::string garbage(4096, '\0');
         for (char& c : garbage) {
           c = static_cast<char>(random() % 255 + 1);
           if (c == '\n') c = '\r';
         }
         write(entry, garbage);
       },
       false, empty("binary.ghost"), 0, ""},
      {"binary-lines.ghost",
       [](const fs::path& entry, const fs::path&) {
         // Lines of bytes from 0x80 up: no digits, no commas, so every frame line is skipped.
         std::mt19937 random(99);
         std::string garbage = header + "\r\n";
         for (int line = 0; line < 64; ++line) {
           for (int i = 0; i < 60; ++i) garbage += static_cast<char>(0x80 + random() % 0x80);
           garbage += "\r\n";
         }
         write(entry, garbage);
       },
       true,
       {"Imported binary-lines.ghost.", "binary-lines.ghost holds no frames.", skipped("binary-lines.ghost", 64)},
       0,
       ""},
      {"line-100mb.ghost",
       sparse(header + "\r\n", 100'000'000),
       true,
       {"Stopped reading line-100mb.ghost at line 2: the line is longer than 4096 bytes (frames loaded: 0)."},
       0,
       ""},
      {"header-100mb.ghost", sparse(header, 100'000'000), false, empty("header-100mb.ghost"), 0, ""},
      {"header-5000.ghost", headed(header + std::string(5000, ' ')), false, imported("header-5000.ghost"), 3, ""},
      // Millions of blank lines (a few kilobytes zipped): whoever reads them keeps no more than a few.
      {"blank-lines-4mb.ghost",
       bytes(header + "\n" + std::string(4'000'000, '\n')),
       true,
       {"Imported blank-lines-4mb.ghost.", "blank-lines-4mb.ghost holds no frames.",
        skipped("blank-lines-4mb.ghost", 4'000'000)},
       0,
       ""},
      {"million-lines.ghost",
       [](const fs::path& entry, const fs::path&) {
         std::string text = header + "\n";
         text.reserve(16'000'000);
         for (int time = 0; time < 1'000'000; ++time) text += std::to_string(time) + ",0,0,0,0,0,0\n";
         write(entry, text);
       },
       true, imported("million-lines.ghost"), 1'000'000, ""},

      // Frame lines with too few, too many or wrong fields.
      {"five-fields.ghost",
       bytes(header + "\r\n0,1,2,3,4\r\n"),
       true,
       {"Imported five-fields.ghost.", "five-fields.ghost holds no frames.", skipped("five-fields.ghost", 1)},
       0,
       ""},
      {"six-fields.ghost",
       bytes(header + "\r\n0,1,2,3,4,5\r\n" + frame(8) + "\r\n"),
       true,
       {"Imported six-fields.ghost.", skipped("six-fields.ghost", 1)},
       1,
       ""},
      goodLine("eight-fields.ghost", "0,1,2,3,4,5,6,7"),
      badField("huge-x.ghost", "0,1e40,2,3,4,5,6", "x", "is out of range"),
      badField("tiny-y.ghost", "0,1,1e-50,3,4,5,6", "y", "is out of range"),
      badField("nan-y.ghost", "0,1,nan,3,4,5,6", "y", "is not a finite number"),
      badField("inf-z.ghost", "0,1,2,inf,4,5,6", "z", "is not a finite number"),
      badField("minus-inf-pitch.ghost", "0,1,2,3,-inf,5,6", "pitch", "is not a finite number"),
      badField("infinity-roll.ghost", "0,1,2,3,4,5,INFINITY", "roll", "is not a finite number"),
      badField("huge-hex-yaw.ghost", "0,1,2,3,4,0x1p200,6", "yaw", "is out of range"),
      {"nan-after-frames.ghost", bytes(header + "\r\n" + threeFrames("\r\n") + "1016,nan,2,3,4,5,6\r\n"), true,
       stopped("nan-after-frames.ghost", 5, "x", "is not a finite number", 3), 3, ""},
      // Finite values near the float range's ends, where interpolating in floats overflows: 3e38 times 2 ms,
      // then -3e38 less 3e38, and a time span past the 32-bit range that turns a step into a leap.
      {"huge-steps.ghost",
       bytes(header + "\r\n0,0,0,17,0,0,0\r\n8,3e38,0,17,0,3e38,0\r\n500,-3e38,0,17,0,-3e38,0\r\n" + frame(1000) +
             "\r\n"),
       true, imported("huge-steps.ghost"), 4, ""},
      {"huge-leap.ghost",
       bytes(header + "\r\n-2000000000,0,0,17,0,0,0\r\n2000000000,3e38,0,17,0,3e38,0\r\n" + frame(2000000001) + "\r\n" +
             frame(2000000002) + "\r\n"),
       true, imported("huge-leap.ghost"), 4, ""},
      goodLine("minus-zero.ghost", "-0,-0,-0.0,0,-0,0,0"),
      goodLine("hex-floats.ghost", "0,0x1p3,0x10,0X.8p1,0,0,0"),
      goodLine("blanks.ghost", " 0 , 1 ,\t2, 3 ,\v4 ,5,6 "),
      goodLine("trailing-junk.ghost", "0x,1abc,2e,3.5.5,4-,5+,6 7"),
      badField("time-too-big.ghost", "2147483648,1,2,3,4,5,6", "time", "is out of range"),
      badField("time-too-small.ghost", "-2147483649,1,2,3,4,5,6", "time", "is out of range"),
      badField("time-words.ghost", "abc,1,2,3,4,5,6", "time", "is not a number"),
      badField("time-float.ghost", ".5,1,2,3,4,5,6", "time", "is not a number"),
      badField("empty-field.ghost", "0,,2,3,4,5,6", "x", "is not a number"),

      // Line ends.
      {"cr-only.ghost", bytes(header + "\r" + threeFrames("\r")), false, empty("cr-only.ghost"), 0, ""},
      {"lf-only.ghost", bytes(header + "\n" + threeFrames("\n")), true, imported("lf-only.ghost"), 3, ""},
      {"cr-cr-lf.ghost", bytes(header + "\r\r\n" + frame(0) + "\r\r\n"), true, imported("cr-cr-lf.ghost"), 1, ""},
      {"mixed-ends.ghost", bytes(header + "\r\n" + frame(0) + "\n" + frame(500) + "\r\n" + frame(1000) + "\n"), true,
       imported("mixed-ends.ghost"), 3, ""},
      {"no-last-end.ghost", bytes(header + "\r\n" + frame(0) + "\r\n" + frame(500) + "\r\n" + frame(1000)), true,
       imported("no-last-end.ghost"), 3, ""},
      {"blank-lines.ghost",
       bytes(header + "\r\n\r\n" + frame(0) + "\r\n\r\n"),
       true,
       {"Imported blank-lines.ghost.", skipped("blank-lines.ghost", 2)},
       1,
       ""},

      // Header fields holding the page's separators and other bytes.
      {"player-bar.ghost", headed("TestMap,A|n|7,1000,1-Lap,1.1"), true, imported("player-bar.ghost"), 3,
       "1-Lap in 00:01:000 by An7(player-bar.ghost)"},
      {"player-amp.ghost", headed("TestMap,A&n,1000,1-Lap,1.1"), true, imported("player-amp.ghost"), 3,
       "1-Lap in 00:01:000 by An(player-amp.ghost)"},
      {"player-at.ghost", headed("TestMap,A@n,1000,1-Lap,1.1"), true, imported("player-at.ghost"), 3,
       "1-Lap in 00:01:000 by An(player-at.ghost)"},
      {"player-quote.ghost", headed("TestMap,A\"n,1000,1-Lap,1.1"), true, imported("player-quote.ghost"), 3,
       "1-Lap in 00:01:000 by A\"n(player-quote.ghost)"},
      {"player-cr.ghost", headed("TestMap,A\rn,1000,1-Lap,1.1"), true, imported("player-cr.ghost"), 3,
       "1-Lap in 00:01:000 by An(player-cr.ghost)"},
      {"player-lf.ghost",
       headed("TestMap,A\nn,1000,1-Lap,1.1"),
       false,
       {"Imported player-lf.ghost.", skipped("player-lf.ghost", 1)},
       3,
       ""},
      {"player-8bit.ghost", headed("TestMap,J\xC3\xA9r\xC3\xB4me,1000,1-Lap,1.1"), true, imported("player-8bit.ghost"),
       3, "1-Lap in 00:01:000 by Jrme(player-8bit.ghost)"},
      {"map-bar.ghost", headed("Test|Map,Ann,1000,1-Lap,1.1"), false, imported("map-bar.ghost"), 3, ""},
      {"laps-bar.ghost", headed("TestMap,Ann,1000,1-Lap|x&y@z,1.1"), true, imported("laps-bar.ghost"), 3,
       "1-Lapxyz in 00:01:000 by Ann(laps-bar.ghost)"},
      {"time-exponent.ghost", headed("TestMap,Ann,1e3,1-Lap,1.1"), true, imported("time-exponent.ghost"), 3,
       "1-Lap in 00:00:001 by Ann(time-exponent.ghost)"},
      {"time-huge.ghost", headed("TestMap,Ann,99999999999,1-Lap,1.1"), false, imported("time-huge.ghost"), 3, ""},
      {"time-negative.ghost", headed("TestMap,Ann,-1,1-Lap,1.1"), false, imported("time-negative.ghost"), 3, ""},
      {"time-minus-zero.ghost", headed("TestMap,Ann,-0,1-Lap,1.1"), true, imported("time-minus-zero.ghost"), 3, ""},
      {"map-comma.ghost", headed("TestMap,Two,Ann,1000,1-Lap,1.1"), false, imported("map-comma.ghost"), 3, ""},
      {"laps-padded.ghost", headed("TestMap,Ann,1000, 01-Lap,1.1"), true, imported("laps-padded.ghost"), 3,
       " 01-Lap in 00:01:000 by Ann(laps-padded.ghost)"},
      {"three-fields.ghost", headed("TestMap,Ann,1000"), false, imported("three-fields.ghost"), 3, ""},
      {"four-fields.ghost", headed("TestMap,Ann,1000,1-Lap"), true, imported("four-fields.ghost"), 3, ""},
      {"other-map.ghost", headed("OtherMap,Ann,1000,1-Lap,1.1"), false, imported("other-map.ghost"), 3, ""},
      {"other-laps.ghost", headed("TestMap,Ann,1000,2-Lap,1.1"), false, imported("other-laps.ghost"), 3, ""},

      // Names the list cannot offer, and a long one it can.
      unlistableName("bar|name.ghost"),
      unlistableName("amp&name.ghost"),
      unlistableName("at@name.ghost"),
      unlistableName("quote\"name.ghost"),
      unlistableName("cr\rname.ghost"),
      unlistableName("lf\nname.ghost"),
      unlistableName("tab\tname.ghost"),
      {std::string(249, 'n') + ".ghost", headed(header), true, imported(std::string(249, 'n') + ".ghost"), 3, ""},
      // Windows devices' names, and the names beside them that are none.
      deviceName("COM1.ghost"),
      deviceName("lpt9 .ghost"),
      deviceName("Aux"),
      deviceName("nul.ghost."),
      deviceName("CON. "),
      deviceName("prn.x.ghost"),
      deviceName("COM\xC2\xB9.ghost"),
      deviceName("conout$.ghost"),
      deviceNamespace(R"(\\.\GLOBALROOT\Device\Null.ghost)"),
      deviceNamespace(R"(\\?\GLOBALROOT\Device\Null.ghost)"),
      deviceNamespace(R"(\\?\C:)"),
      {R"(\\?\C:\run.ghost)", headed(header), true, imported(R"(\\?\C:\run.ghost)"), 3, ""},
      {"COM0.ghost", headed(header), true, imported("COM0.ghost"), 3, ""},
      {"LPT10.ghost", headed(header), true, imported("LPT10.ghost"), 3, ""},
      {"CONSOLE.ghost", headed(header), true, imported("CONSOLE.ghost"), 3, ""},
      {" ", headed(header), false, notFound(" "), 0, ""},  // the page's blank entry and the selection's default
      {"none", headed(header), false, notFound("none"), 0, ""},

      // Entries that are no regular file, and links to one wherever it lies.
      {"folder.ghost", [](const fs::path& entry, const fs::path&) { fs::create_directory(entry); }, false,
       notFound("folder.ghost"), 0, ""},
      {"loop.ghost", [](const fs::path& entry, const fs::path&) { fs::create_symlink(entry.filename(), entry); }, false,
       notFound("loop.ghost"), 0, ""},
      {"fifo.ghost", [](const fs::path& entry, const fs::path&) { mkfifo(entry.c_str(), 0600); }, false,
       notFound("fifo.ghost"), 0, ""},
      {"outside-link.ghost",
       [](const fs::path& entry, const fs::path& outside) { fs::create_symlink(outside / "precious.ghost", entry); },
       true, imported("outside-link.ghost"), 3, ""},
      {"dangling.ghost",
       [](const fs::path& entry, const fs::path& outside) { fs::create_symlink(outside / "nothing.ghost", entry); },
       false, notFound("dangling.ghost"), 0, ""},
      {"inside-link.ghost", [](const fs::path& entry, const fs::path&) { fs::create_symlink("lf-only.ghost", entry); },
       true, imported("inside-link.ghost"), 3, ""},
  };
  return all;
}

std::vector<std::string> hostileSelections(const fs::path& outside) {
  return {"../../../outside/precious.ghost",
          "../../../tessaro/data/Ghosts/../../../outside/precious.ghost",
          (outside / "precious.ghost").string(),
          "sub/../../outside/precious.ghost",
          "..",
          "/"};
}
