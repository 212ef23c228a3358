#include "gui/mime_drop_data.h"

#include "gui/editor_widget.h"
#include "platform/qt/text_convert.h"

#include <QMimeData>
#include <QUrl>

namespace qorvi {

MimeDropData::MimeDropData(const QMimeData& mime, const QObject* dragSource) : mime_(mime) {
    if (const auto* widget = qobject_cast<const EditorWidget*>(dragSource))
        source_ = &widget->control();
}

bool MimeDropData::hasLocalFiles() const {
    for (const QUrl& url : mime_.urls())
        if (url.isLocalFile())
            return true;
    return false;
}

bool MimeDropData::offers(TSourceType format) const {
    switch (format) {
    case stFileNames:
        return hasLocalFiles();
    case stText:
    case stUnicode:
        return mime_.hasText() && !mime_.hasUrls();
    case stHTML:
        return mime_.hasHtml();
    default:
        return false;
    }
}

std::vector<std::string> MimeDropData::read(TSourceType format) const {
    if (!offers(format))
        return {};
    switch (format) {
    case stFileNames: {
        std::vector<std::string> names;
        for (const QUrl& url : mime_.urls())
            if (url.isLocalFile())
                names.push_back(pathFromQString(url.toLocalFile()));
        return names;
    }
    case stHTML:
        return {mime_.html().toStdString()};
    default:
        return {mime_.text().toStdString()};
    }
}

} // namespace qorvi
