#include "platform/qt/qt_clipboard.h"

#include "platform/qt/text_convert.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace qorvi {
namespace {

const char* mimeOf(ClipFormat format) {
    switch (format) {
    case ClipFormat::Text:
        return "text/plain";
    case ClipFormat::RichText:
        return "text/rtf";
    case ClipFormat::Html:
        return "text/html";
    }
    return "text/plain";
}

std::string withoutCarriageReturns(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.push_back(text[i] == '\r' ? '\n' : text[i]);
    }
    return out;
}

} // namespace

// Word processors offer RTF under either name.
static const char* rtfMimeOf(const QMimeData& mime) {
    return mime.hasFormat("text/rtf") || !mime.hasFormat("application/rtf") ? "text/rtf" : "application/rtf";
}

bool QtClipboard::hasFormat(ClipFormat format) const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return false;
    if (format == ClipFormat::RichText)
        return mime->hasFormat(rtfMimeOf(*mime));
    return format == ClipFormat::Text ? mime->hasText() : mime->hasFormat(mimeOf(format));
}

std::optional<std::string> QtClipboard::data(ClipFormat format) const {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (!mime || !hasFormat(format))
        return std::nullopt;
    if (format == ClipFormat::Text)
        return mime->text().toStdString();
    const QByteArray bytes = mime->data(format == ClipFormat::RichText ? rtfMimeOf(*mime) : mimeOf(format));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void QtClipboard::setContents(const Contents& contents) {
    auto* mime = new QMimeData;
    for (const auto& [format, bytes] : contents) {
        if (format == ClipFormat::Text)
            mime->setText(QString::fromStdString(withoutCarriageReturns(bytes)));
        else
            mime->setData(mimeOf(format), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
    }
    QGuiApplication::clipboard()->setMimeData(mime);
}

QtClipboard& systemClipboard() {
    static QtClipboard clipboard;
    return clipboard;
}

} // namespace qorvi
