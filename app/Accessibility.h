#pragma once

// The trainer as a screen reader reads it: one accessibility factory for
// every control we paint, installed once by the program, and the names and
// descriptions the windows give their controls.

class TForm1;
class TForm2;
class TForm3;
class TShape;

// Installs the factory (once; later calls do nothing). Until assistive
// technology asks, nothing is created.
void InstallAccessibility();

// What an answer lamp says of its colour.
enum class TAnswerState { None, Right, Wrong };
TAnswerState AnswerStateOf(TShape& lamp);
// "верно", "неверно", "нет ответа".
const char* AnswerStateText(TAnswerState s);

// Names and descriptions of each window's controls; each window calls its
// own once its controls exist.
void DescribeMainWindow(TForm1& form);
void DescribeIntervalDialog(TForm2& dialog);
void DescribeAboutWindow(TForm3& about);
