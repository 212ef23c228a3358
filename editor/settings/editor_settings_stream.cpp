// The stream form of the editor settings, as the compiled parser image
// carries it. Everything read is checked before it is used: counts against
// the bytes left, indexes against their tables, tab widths and columns
// against their ranges (a bad one reads as the default). A stream that
// fails anywhere leaves the settings as they were.

#include "editor/settings/editor_settings.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"

#include <algorithm>

namespace qorvi {
namespace {

void writeFontSpec(TStream& stream, const TFontSpec& font) {
    SWriteString(stream, font.Name);
    SWriteLongint(stream, font.Size);
    SWriteByte(stream, font.CharSet);
}

} // namespace

void TSM_Settings::writeTo(TStream& stream, std::int32_t version) const {
    SWriteString(stream, scriptText_);
    SWriteString(stream, languageName_);
    SWriteString(stream, wrapOverride_);
    SWriteLongint(stream, static_cast<std::int32_t>(options_));
    for (std::int32_t v :
         {margin_, rightMargin_, std::int32_t{wrapAtColumn_}, gutter_, std::int32_t{indentStep_},
          marginColor_, gutterColor_, selTextColor_, selTextBack_, tabDefault_})
        SWriteLongint(stream, v);

    const auto inUse =
        std::count_if(formats_.begin(), formats_.end(), [](const TFormatEntry& f) { return f.InUse; });
    SWriteLongint(stream, static_cast<std::int32_t>(inUse));
    for (int i = 0; i < kFormatCount; ++i) {
        const TFormatEntry& f = formats_[static_cast<std::size_t>(i)];
        if (!f.InUse)
            continue;
        SWriteByte(stream, static_cast<std::uint8_t>(i));
        SWriteByte(stream, f.Style);
        SWriteLongint(stream, f.TextColor);
        SWriteLongint(stream, f.BackColor);
        SWriteByte(stream, f.DefaultText);
        SWriteByte(stream, f.DefaultBack);
        SWriteByte(stream, f.HotSpot);
        SWriteLongint(stream, f.InUse);
    }

    const auto mapped =
        std::count_if(styleMap_.begin(), styleMap_.end(), [](std::uint8_t s) { return s != 0; });
    SWriteLongint(stream, static_cast<std::int32_t>(mapped));
    for (int token = 0; token < kFormatCount; ++token) {
        if (styleMap_[static_cast<std::size_t>(token)] == 0)
            continue;
        SWriteByte(stream, static_cast<std::uint8_t>(token));
        SWriteByte(stream, styleMap_[static_cast<std::size_t>(token)]);
    }

    const auto named = std::count_if(editable_.begin(), editable_.end(),
                                     [](const TEditableEntry& e) { return !e.Name.empty(); });
    SWriteLongint(stream, static_cast<std::int32_t>(named));
    for (const TEditableEntry& e : editable_) {
        if (e.Name.empty())
            continue;
        SWriteString(stream, e.Name);
        SWriteByte(stream, e.Value);
    }

    for (std::int32_t column : tabStops_)
        SWriteLongint(stream, column);
    writeFontSpec(stream, font_);
    for (std::uint8_t mark : defaultMarks_)
        SWriteByte(stream, mark);
    keywordTables_.SaveToStream(stream);
    autoReplace_.SaveToStream(stream);
    templates_.SaveToStream(stream);
    keyMap_.SaveToStream(stream);
    if (version > kLastVersionWithoutGutterFont) {
        writeFontSpec(stream, gutterFont_);
        SWriteLongint(stream, gutterFont_.Color);
        SWriteByte(stream, gutterFont_.Style);
    }
}

void TSM_Settings::readFrom(TStream& stream, std::int32_t version) {
    TSM_Settings loaded;
    loaded.scriptText_ = SReadString(stream);
    loaded.languageName_ = SReadString(stream);
    loaded.wrapOverride_ = SReadString(stream);
    loaded.options_ = static_cast<std::uint32_t>(SReadLongint(stream));
    loaded.margin_ = SReadLongint(stream);
    loaded.rightMargin_ = SReadLongint(stream);
    loaded.wrapAtColumn_ = static_cast<std::uint16_t>(SReadLongint(stream));
    loaded.gutter_ = SReadLongint(stream);
    loaded.indentStep_ = static_cast<std::uint8_t>(SReadLongint(stream));
    loaded.marginColor_ = SReadLongint(stream);
    loaded.gutterColor_ = SReadLongint(stream);
    loaded.selTextColor_ = SReadLongint(stream);
    loaded.selTextBack_ = SReadLongint(stream);
    const std::int32_t tabDefault = SReadLongint(stream);
    // A width the tab expansion cannot use reads as the default.
    loaded.tabDefault_ = isValidTabWidth(tabDefault) ? tabDefault : 4;

    // Entries not listed are unused, entry 0 included.
    loaded.formats_.fill(TFormatEntry());
    const std::int32_t formatCount = SReadCount(stream, 1 + 1 + 4 + 4 + 3 + 4);
    for (std::int32_t i = 0; i < formatCount; ++i) {
        TFormatEntry f;
        const std::uint8_t index = SReadByte(stream);
        f.Style = SReadByte(stream);
        f.TextColor = SReadLongint(stream);
        f.BackColor = SReadLongint(stream);
        f.DefaultText = SReadByte(stream);
        f.DefaultBack = SReadByte(stream);
        f.HotSpot = SReadByte(stream);
        f.InUse = SReadLongint(stream);
        loaded.formats_[index] = f;
    }

    const std::int32_t mapCount = SReadCount(stream, 2);
    for (std::int32_t i = 0; i < mapCount; ++i) {
        const std::uint8_t token = SReadByte(stream);
        loaded.styleMap_[token] = SReadByte(stream);
    }

    // Entries beyond the 50 slots are read and dropped.
    const std::int32_t namedCount = SReadCount(stream, 4 + 1);
    for (std::int32_t i = 0; i < namedCount; ++i) {
        TEditableEntry e;
        e.Name = SReadString(stream);
        e.Value = SReadByte(stream);
        if (i < kEditableCount)
            loaded.editable_[static_cast<std::size_t>(i)] = std::move(e);
    }

    TTabColumns stops;
    for (std::int32_t& column : stops)
        column = SReadLongint(stream);
    loaded.SetTabStops(stops);

    loaded.font_.Name = SReadString(stream);
    loaded.font_.Size = SReadLongint(stream);
    loaded.font_.CharSet = SReadByte(stream);
    for (std::uint8_t& mark : loaded.defaultMarks_)
        mark = SReadByte(stream);
    loaded.keywordTables_.LoadFromStream(stream);
    loaded.autoReplace_.LoadFromStream(stream);
    loaded.templates_.LoadFromStream(stream);
    loaded.keyMap_.LoadFromStream(stream);
    if (version > kLastVersionWithoutGutterFont) {
        loaded.gutterFont_.Name = SReadString(stream);
        loaded.gutterFont_.Size = SReadLongint(stream);
        loaded.gutterFont_.CharSet = SReadByte(stream);
        loaded.gutterFont_.Color = SReadLongint(stream);
        loaded.gutterFont_.Style = SReadByte(stream);
    } else {
        loaded.gutterFont_ = gutterFont_;
    }
    takeFrom(loaded);
}

void TSM_Settings::takeFrom(TSM_Settings& other) {
    languageName_ = std::move(other.languageName_);
    scriptText_ = std::move(other.scriptText_);
    wrapOverride_ = std::move(other.wrapOverride_);
    options_ = other.options_;
    margin_ = other.margin_;
    rightMargin_ = other.rightMargin_;
    wrapAtColumn_ = other.wrapAtColumn_;
    gutter_ = other.gutter_;
    indentStep_ = other.indentStep_;
    marginColor_ = other.marginColor_;
    gutterColor_ = other.gutterColor_;
    selTextColor_ = other.selTextColor_;
    selTextBack_ = other.selTextBack_;
    tabDefault_ = other.tabDefault_;
    tabStops_ = other.tabStops_;
    formats_ = other.formats_;
    styleMap_ = other.styleMap_;
    editable_ = std::move(other.editable_);
    font_ = std::move(other.font_);
    const bool gutterFontChanged = !(gutterFont_ == other.gutterFont_);
    gutterFont_ = std::move(other.gutterFont_);
    defaultMarks_ = other.defaultMarks_;
    hasActiveSites_.reset();
    keywordTables_.swap(other.keywordTables_);
    // The lists keep their identity: controls hold on to them.
    autoReplace_.Assign(other.autoReplace_);
    templates_.Assign(other.templates_);
    keyMap_.Assign(other.keyMap_);
    // Fonts are made again from the new formats.
    if (resources_)
        RefreshResources();
    if (gutterFontChanged)
        GutterFontChange();
}

} // namespace qorvi
