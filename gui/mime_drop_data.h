#pragma once

// Qt's drag data as the editor control's drop target reads it: local files
// (text/uri-list) as file names, plain text, and HTML. The plain text of a
// file drag is the files' addresses, so a drag of files offers only files.
// Texts are read as UTF-8 (the control encodes them for its document); file
// names as the file system's bytes.

#include "editor/control/drop_data.h"

class QMimeData;
class QObject;

namespace qorvi {

class MimeDropData : public DropData {
public:
    // `dragSource`: the object that started the drag (QDropEvent::source()),
    // null for drags from other programs.
    MimeDropData(const QMimeData& mime, const QObject* dragSource);
    bool offers(TSourceType format) const override;
    std::vector<std::string> read(TSourceType format) const override;
    const TCustomRudivoVoru* source() const override { return source_; }

private:
    bool hasLocalFiles() const;

    const QMimeData& mime_;
    const TCustomRudivoVoru* source_ = nullptr;
};

} // namespace qorvi
