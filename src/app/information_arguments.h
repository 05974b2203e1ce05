#pragma once

#include <QStringList>

#include <optional>

// "--help" and "--version", when given alone, are answered on standard output and
// the program ends; every other argument text is read as options.
std::optional<QString> answerToInformationArgument(const QStringList& argumentsAfterProgram);
