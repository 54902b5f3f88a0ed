#pragma once
// The program's texts are byte strings: Latin-1 characters where they come from the program,
// UTF-8 where they come from the file system or the user. Shown text takes UTF-8 when the bytes
// are valid UTF-8, else Latin-1; text from the user and chosen paths come back as UTF-8.
#include <QString>
#include <string>

QString qtText(const std::string& text);
std::string programText(const QString& text);
