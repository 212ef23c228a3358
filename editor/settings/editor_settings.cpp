#include "editor/settings/editor_settings.h"

#include "editor/settings/settings_client.h"
#include "editor/support/memory_stream.h"
#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"

#include <algorithm>

namespace qorvi {
namespace {

inline constexpr const char* kMsgTabColumnRange = "Tab column must be between 1 and 4096";

[[noreturn]] void badIndex(int index) {
    throw ERudivoVoru("List index out of bounds (" + std::to_string(index) + ")");
}

} // namespace

TSM_Settings::TSM_Settings() {
    resetFields();
}

TSM_Settings::~TSM_Settings() = default;

void TSM_Settings::resetFields() {
    languageName_ = kDefaultLanguageName;
    scriptText_.clear();
    wrapOverride_ = kDefaultWrapOverride;
    options_ = kDefaultOptions;
    margin_ = 2;
    rightMargin_ = 80;
    wrapAtColumn_ = 0;
    gutter_ = 34;
    indentStep_ = 1;
    marginColor_ = clWhite;
    gutterColor_ = clBtnFace;
    selTextColor_ = clHighlightText;
    selTextBack_ = clHighlight;
    tabDefault_ = 4;
    tabStops_ = emptyTabColumns();
    formats_.fill(TFormatEntry());
    formats_[0].InUse = 1;
    styleMap_.fill(0);
    editable_.fill(TEditableEntry());
    font_ = TFontSpec{"Courier New", 10, 1, clWindowText, 0};
    gutterFont_ = TFontSpec{"MS Sans Serif", 8, 1, clWindowText, 0};
    defaultMarks_.fill(0);
    hasActiveSites_.reset();
    keywordTables_.Clear();
    autoReplace_.Clear();
    templates_.Reset();
    keyMap_.Assign(DefaultKeyController());
}

void TSM_Settings::Reset() {
    FreeResources();
    resetFields();
    if (!controls_.empty())
        MakeResources();
}

std::uint8_t TSM_Settings::DefaultMark(int index) const {
    if (index < 0 || index >= 4)
        badIndex(index);
    return defaultMarks_[static_cast<std::size_t>(index)];
}

void TSM_Settings::SetDefaultMark(int index, std::uint8_t mark) {
    if (index < 0 || index >= 4)
        badIndex(index);
    defaultMarks_[static_cast<std::size_t>(index)] = mark;
}

void TSM_Settings::SetTabDefault(std::int32_t width) {
    if (width <= 0)
        throw ERudivoVoru(kMsgIllegalTabDefault);
    if (width > kMaxTabColumn)
        throw ERudivoVoru(kMsgTabDefaultTooLarge);
    tabDefault_ = width;
}

std::int32_t TSM_Settings::GetTabStop(int index) const {
    if (index < 0 || index >= kTabStopCount)
        badIndex(index);
    return tabStops_[static_cast<std::size_t>(index)];
}

void TSM_Settings::SetTabStop(int index, std::int32_t column) {
    if (index < 0 || index >= kTabStopCount)
        badIndex(index);
    if (column != -1 && !isValidTabColumn(column))
        throw ERudivoVoru(kMsgTabColumnRange);
    tabStops_[static_cast<std::size_t>(index)] = column;
}

void TSM_Settings::SetTabStops(const TTabColumns& stops) {
    TTabColumns copy = emptyTabColumns();
    std::size_t used = 0;
    for (std::int32_t column : stops) {
        if (!isValidTabColumn(column))
            break;
        copy[used++] = column;
    }
    std::sort(copy.begin(), copy.begin() + static_cast<std::ptrdiff_t>(used));
    tabStops_ = copy;
}

const TFormatEntry& TSM_Settings::GetFormatEntry(int index) const {
    if (index < 0 || index >= kFormatCount)
        badIndex(index);
    return formats_[static_cast<std::size_t>(index)];
}

void TSM_Settings::SetFormatEntry(int index, const TFormatEntry& entry) {
    if (index < 0 || index >= kFormatCount)
        badIndex(index);
    formats_[static_cast<std::size_t>(index)] = entry;
    hasActiveSites_.reset();
}

std::uint8_t TSM_Settings::GetMapEntry(int token) const {
    if (token < 0 || token >= kFormatCount)
        badIndex(token);
    return styleMap_[static_cast<std::size_t>(token)];
}

void TSM_Settings::SetMapEntry(int token, std::uint8_t style) {
    if (token < 0 || token >= kFormatCount)
        badIndex(token);
    styleMap_[static_cast<std::size_t>(token)] = style;
}

const TEditableEntry& TSM_Settings::GetEditableEntry(int index) const {
    if (index < 1 || index > kEditableCount)
        badIndex(index);
    return editable_[static_cast<std::size_t>(index - 1)];
}

void TSM_Settings::SetEditableEntry(int index, const TEditableEntry& entry) {
    if (index < 1 || index > kEditableCount)
        badIndex(index);
    editable_[static_cast<std::size_t>(index - 1)] = entry;
}

bool TSM_Settings::GetHasActiveSites() const {
    if (!hasActiveSites_)
        hasActiveSites_ = std::any_of(formats_.begin(), formats_.end(),
                                      [](const TFormatEntry& f) { return f.InUse != 0 && f.HotSpot != 0; });
    return *hasActiveSites_;
}

void TSM_Settings::SetGutterFont(const TFontSpec& font) {
    gutterFont_ = font;
    GutterFontChange();
}

void TSM_Settings::GutterFontChange() {
    notifyControls();
}

void TSM_Settings::notifyControls() {
    // A control may detach itself while it refreshes.
    const std::vector<SettingsClient*> controls = controls_;
    for (SettingsClient* control : controls)
        if (std::find(controls_.begin(), controls_.end(), control) != controls_.end())
            control->settingsChanged();
}

CanvasFont TSM_Settings::MakeFont(const std::string& FaceName, std::int32_t PointSize, std::uint8_t Styles,
                                  const Canvas& canvas, std::uint8_t CharSet) {
    CanvasFont font;
    font.name = FaceName;
    // 64-bit and clamped, so a size from a damaged image cannot overflow.
    std::int64_t height = PointSize > 0 ? -((std::int64_t{PointSize} * canvas.pixelsPerInchY() + 36) / 72)
                                        : std::int64_t{PointSize};
    font.height = static_cast<int>(std::clamp<std::int64_t>(height, -32767, 32767));
    font.weight = (Styles & fsBold) ? 700 : 400;
    font.italic = (Styles & fsItalic) != 0;
    font.underline = (Styles & fsUnderline) != 0;
    font.strikeOut = (Styles & fsStrikeOut) != 0;
    font.charSet = CharSet;
    return font;
}

void TSM_Settings::AddRef(SettingsClient* control) {
    if (!control || std::find(controls_.begin(), controls_.end(), control) != controls_.end())
        return;
    controls_.push_back(control);
    if (controls_.size() == 1)
        MakeResources();
}

void TSM_Settings::Release(SettingsClient* control) {
    auto it = std::find(controls_.begin(), controls_.end(), control);
    if (it == controls_.end())
        return;
    controls_.erase(it);
    if (controls_.empty())
        FreeResources();
}

void TSM_Settings::RefreshResources() {
    if (controls_.empty())
        return;
    FreeResources();
    MakeResources();
}

void TSM_Settings::FreeResources() {
    resources_.reset();
}

void TSM_Settings::MakeResources() {
    if (controls_.empty())
        return;
    Canvas& canvas = controls_.front()->resourceCanvas();
    auto made = std::make_unique<SettingsResources>();
    for (int i = 0; i < kFormatCount; ++i)
        if (formats_[static_cast<std::size_t>(i)].InUse != 0)
            made->fonts[static_cast<std::size_t>(i)] = MakeFont(
                font_.Name, font_.Size, formats_[static_cast<std::size_t>(i)].Style, canvas, font_.CharSet);
    if (HasOption(smoShowAllChars)) {
        auto marker = [&](const std::string& face, std::uint8_t charSet, unsigned char c) {
            SettingsResources::Marker m;
            m.font = MakeFont(face, font_.Size, 0, canvas, charSet);
            m.character = c;
            const FontMetrics metrics = canvas.setFont(m.font);
            m.width = canvas.textWidth(std::string(1, static_cast<char>(c)));
            m.height = metrics.height;
            made->markers.push_back(m);
        };
        marker(font_.Name, font_.CharSet, 182);
        marker("Symbol", 2, 174);
        marker("Symbol", 2, 191);
    }
    resources_ = std::move(made);
}

void TSM_Settings::Assign(const TSM_Base& source) {
    const auto* settings = dynamic_cast<const TSM_Settings*>(&source);
    if (!settings)
        throw ERudivoVoru(formatMsg(kMsgCannotAssign, source.ClassName(), ClassName()));
    if (settings == this)
        return;
    // Copied at the current layout, whatever versions the two sides carry,
    // so that nothing is dropped.
    TMemoryStream buffer;
    settings->writeTo(buffer, INT32_MAX);
    buffer.SetPosition(0);
    readFrom(buffer, INT32_MAX);
}

} // namespace qorvi
