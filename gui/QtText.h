#pragma once
// The program's texts are byte strings: Latin-1 characters where they come from the program,
// UTF-8 where they come from the file system or the user. Shown text takes UTF-8 when the bytes
// are valid UTF-8, else Latin-1; text from the user and chosen paths come back as UTF-8.
#include <QString>
#include <string>

class QComboBox;

QString qtText(const std::string& text);
std::string programText(const QString& text);

// Paths are bytes and need not be UTF-8, but a box holds text: bytes put into a box are kept
// beside the text they show and given back unchanged while the box still shows that text;
// what the user typed instead comes back as UTF-8.
class HeldBytes {
public:
    // The text to show for bytes, which are kept.
    QString hold(const std::string& bytes);
    // The bytes of what a box shows.
    std::string of(const QString& shown) const;
    bool holds(const QString& shown) const { return held_ && shown == shown_; }
    void clear() { held_ = false; }

private:
    bool held_ = false;
    std::string bytes_;
    QString shown_;
};

// A list box's item with its bytes kept beside it, and the bytes of an item (its text as
// UTF-8 for an item added as text).
void addItemBytes(QComboBox& box, const std::string& bytes);
std::string itemBytes(const QComboBox& box, int index);
