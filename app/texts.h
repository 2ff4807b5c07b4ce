// Every text the user reads, in code page 932 (Shift-JIS) bytes; the message box shows them as
// they are on Linux, and converts them to UTF-16 on Windows (platform/boundary.h).
#pragma once

// "問題確認": caption of the box that shows the puzzle as read.
inline constexpr char kConfirmCaption[] = "\x96\xE2\x91\xE8\x8A\x6D\x94\x46";
// "回答": caption of the box that shows the answer.
inline constexpr char kAnswerCaption[] = "\x89\xF1\x93\x9A";
// "ファイルがありません。": the box shown when the puzzle file cannot be read.
inline constexpr char kMissingFileText[] =
    "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42";

// The hidden main window's class name and title.
inline constexpr char kWindowClassName[] = "Tavrin Game 01";
