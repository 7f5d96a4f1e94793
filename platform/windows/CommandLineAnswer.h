#pragma once

#include <string>

namespace quorvel {

// Where the program, which has no console window of its own, answers its command line.
enum class AnswerPlace { StandardOutput, ParentConsole, Box };

// What the program's standard output is: none, a file or a pipe that the starter
// redirected it to, or a character device (a console, a terminal, NUL).
enum class OutputKind { None, Redirected, Device };

// A redirected standard output, else the console of the program that started this one
// (a command prompt), else a device that standard output is, else a message box.
AnswerPlace ChooseAnswerPlace(OutputKind output, bool attachedToParentConsole);

// Gives `text` (lines ending in "\n") at the place chosen, a box being titled `title`.
// Returns the exit status: 1 when the text could not be written.
int GiveAnswer(const std::string& text, const std::string& title);

}  // namespace quorvel
