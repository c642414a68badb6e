#include "window/message_names.h"

#include <QChar>
#include <QRegularExpression>
#include <QTextBoundaryFinder>

namespace veltrin {

namespace {

// A message box wraps its text at about 500 pixels, but a name has no spaces to wrap at and widens the box to
// its own width. At the usual 9 or 10 point desktop fonts a path averages about 7 pixels a character: 70 of them
// fit within that width. Lengths are counted as QString counts them, in UTF-16 units.
constexpr qsizetype kLongestName = 70;
constexpr qsizetype kKeptStart = 35;
constexpr qsizetype kKeptEnd = kLongestName - kKeptStart - 1;  // the ellipsis takes one

// The quotes around a name: the opening one starts the message or follows a space, and the closing one is the
// next quote that ends the message or is followed by a space or punctuation. A quote within a name (a file name
// may have one) stays part of it; a quote that pairs with no other is left as text.
const QRegularExpression& QuotedName() {
    static const QRegularExpression quotedName(QStringLiteral(R"name((?<=^|\s)"(.*?)"(?=$|[\s:;,.!?)]))name"));
    return quotedName;
}

// The cuts fall between characters as they are shown: never inside a surrogate pair, nor before a combining mark.
QString ShortenedName(const QString& name) {
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, name);
    characters.setPosition(kKeptStart);
    const qsizetype startEnd = characters.isAtBoundary() ? kKeptStart : characters.toPreviousBoundary();
    characters.setPosition(name.size() - kKeptEnd);
    const qsizetype endStart = characters.isAtBoundary() ? characters.position() : characters.toNextBoundary();
    return name.first(startEnd) + QChar(0x2026) + name.sliced(endStart);  // U+2026: …
}

}  // namespace

QString ShortenQuotedNames(const QString& message) {
    QString shown;
    qsizetype copied = 0;  // the message up to here is in shown
    QRegularExpressionMatchIterator names = QuotedName().globalMatch(message);
    while (names.hasNext()) {
        const QRegularExpressionMatch name = names.next();
        if (name.capturedLength(1) > kLongestName) {
            shown += message.sliced(copied, name.capturedStart(1) - copied) + ShortenedName(name.captured(1));
            copied = name.capturedEnd(1);
        }
    }
    return shown + message.sliced(copied);
}

}  // namespace veltrin
