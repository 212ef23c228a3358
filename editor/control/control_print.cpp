// Printing: the text laid out on pages of the print rectangle - header and
// footer (or the application's own through OnPrintHeaderFooter), line
// numbers, print wrap - and drawn with the row painter's runs, in colour or
// black on white (MonoPrint). A printer port gives the pages; RenderPage
// draws one page of the same layout on any canvas.

#include "editor/control/control_row_paint.h"
#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/text/line.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace qorvi {
namespace {

std::string dateAndTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d - %H:%M", &local);
    return text;
}

} // namespace

// Cuts display text into rows of at most `columns`: at the last blank that
// fits (blanks stay at the row's end), else at the width; never an empty
// row, so a narrow page cannot loop.
std::vector<std::pair<std::int32_t, std::int32_t>> TCustomRudivoVoru::printPieces(std::string_view text,
                                                                                  std::int32_t columns) {
    std::vector<std::pair<std::int32_t, std::int32_t>> pieces;
    const auto n = static_cast<std::int32_t>(text.size());
    columns = std::max<std::int32_t>(columns, 1);
    std::int32_t from = 0;
    while (n - from > columns) {
        std::int32_t cut = from + columns;
        std::int32_t blank = cut;
        while (blank > from && text[static_cast<std::size_t>(blank - 1)] != ' ')
            --blank;
        if (blank > from)
            cut = blank;
        pieces.emplace_back(from, cut);
        from = cut;
    }
    pieces.emplace_back(from, n);
    return pieces;
}

CanvasRect TCustomRudivoVoru::printTextArea(Canvas& c, const CanvasRect& page, int number, bool draw,
                                            bool& transparent, RowPaint& p) {
    transparent = false;
    CanvasRect area = page;
    const int lh = std::max(1, GetLineHeight());
    if (OnPrintHeaderFooter) {
        OnPrintHeaderFooter(*this, number, transparent, area);
        return area;
    }
    const bool title = settings_->HasOption(smoPrintFilename);
    const bool date = settings_->HasOption(smoPrintDate);
    const bool pageNos = settings_->HasOption(smoPrintPageNos);
    const CanvasPen pen{clBlack, std::max(1, lh / 16), PenStyle::Solid, false};
    if (title || date) {
        if (draw) {
            selectFont(c, 0, p);
            c.setTextColor(clBlack);
            c.setBackColor(clWhite);
            p.colorsSet = false;
            const CanvasRect top{page.left, page.top, page.right, page.top + lh};
            if (title)
                c.drawText(page.left, page.top, top, HTMLTitle, false);
            if (date) {
                const std::string when = dateAndTime();
                c.drawText(page.right - c.textWidth(when), page.top, top, when, false);
            }
            c.line(page.left, page.top + 2 * lh, page.right, page.top + 2 * lh, pen);
        }
        area.top = page.top + 3 * lh;
    }
    if (pageNos) {
        if (draw) {
            selectFont(c, 0, p);
            c.setTextColor(clBlack);
            p.colorsSet = false;
            char text[32];
            std::snprintf(text, sizeof text, "- %d -", number);
            const int y = page.bottom - lh * 5 / 2;
            const int x = page.left + (page.right - page.left - c.textWidth(text)) / 2;
            c.drawText(x, y, {page.left, y, page.right, y + lh}, text, false);
            c.line(page.left, page.bottom - 3 * lh, page.right, page.bottom - 3 * lh, pen);
        }
        area.bottom = page.bottom - 4 * lh;
    }
    return area;
}

bool TCustomRudivoVoru::printRange(Canvas& c, const CanvasRect& page, std::int32_t firstLine, std::int32_t lastLine,
                                   int onlyPage, const std::function<bool()>& newPage, int& y, bool continuing) {
    const int lh = std::max(1, GetLineHeight());
    const int unit = std::max(1, fixedPitch_ ? cellWidth_ : charWidth_);
    if (page.bottom - page.top < lh || page.right - page.left < unit)
        throw ERudivoVoru("The page is too small to print a line");
    RowPaint p;
    p.canvas = &c;
    p.printing = true;
    p.mono = MonoPrint;
    p.syntax = settings_->HasOption(smoSyntaxHighlight);
    p.lineHeight = lh;
    p.right = page.right;
    const bool lineNos = settings_->HasOption(smoPrintLineNos);
    const bool wrap = settings_->HasOption(smoPrintWrap);
    int number = 1;
    const auto drawing = [&] { return onlyPage <= 0 || number == onlyPage; };
    bool transparent = false;
    // A page another text began already carries its header and footer.
    CanvasRect area = printTextArea(c, page, number, drawing() && !continuing, transparent, p);
    if (y < area.top)
        y = area.top;
    const int textLeft = area.left + (lineNos ? 10 * unit : 0);
    p.left = textLeft;
    const std::int32_t columns = (area.right - textLeft) / unit - 1;

    TLine* row = store_->Buffer();
    std::int32_t line = 0;
    bool lineStart = true;
    for (; row && line <= lastLine; row = store_->Next(row)) {
        const bool endsLine = row->EndsWithCR();
        if (line < firstLine) {
            line += endsLine ? 1 : 0;
            continue;
        }
        ExpandTabs(row, displayRow_);
        const std::string_view text = displayRow_.Text();
        const std::uint8_t* styles = displayRow_.Styles();
        const auto pieces = wrap ? printPieces(text, columns)
                                 : std::vector<std::pair<std::int32_t, std::int32_t>>{{0, static_cast<std::int32_t>(text.size())}};
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            if (y + lh > area.bottom) {
                if (onlyPage > 0 && number >= onlyPage)
                    return true; // the text goes on after the page asked for
                ++number;
                if (drawing() && newPage && !newPage())
                    return false; // cancelled
                area = printTextArea(c, page, number, drawing(), transparent, p);
                y = area.top;
            }
            if (drawing()) {
                if (lineNos && k == 0 && lineStart) {
                    char label[32];
                    std::snprintf(label, sizeof label, "%6d:", line + 1);
                    selectFont(c, 0, p);
                    c.setTextColor(clBlack);
                    c.setBackColor(clWhite);
                    p.colorsSet = false;
                    c.drawText(area.left, y, {area.left, y, textLeft, y + lh}, label, !transparent);
                }
                int x = textLeft;
                for (std::int32_t col = pieces[k].first; col < pieces[k].second && x < area.right;) {
                    const std::uint8_t style = styles ? styles[col] : 0;
                    std::int32_t end = col + 1;
                    while (end < pieces[k].second && (styles ? styles[end] : 0) == style)
                        ++end;
                    x = drawRun(c, x, y, text.substr(static_cast<std::size_t>(col), static_cast<std::size_t>(end - col)),
                                colorsFor(style, false, p), p);
                    col = end;
                }
            }
            y += lh;
        }
        lineStart = endsLine;
        line += endsLine ? 1 : 0;
    }
    return false;
}

bool TCustomRudivoVoru::RenderPage(Canvas& canvas, const CanvasRect& rect, int page) {
    ParseAllRequired();
    UsePrinterCanvas(&canvas);
    struct Restore {
        TCustomRudivoVoru& control;
        ~Restore() { control.UsePrinterCanvas(nullptr); }
    } restore{*this};
    canvas.fillRect(rect, clWhite);
    int y = rect.top;
    return printRange(canvas, rect, 0, INT32_MAX, std::max(page, 1), nullptr, y, false);
}

void TCustomRudivoVoru::printLines(PrinterPort& printer, std::int32_t firstLine, std::int32_t lastLine) {
    ParseAllRequired();
    Canvas& canvas = printer.beginDocument(HTMLTitle);
    UsePrinterCanvas(&canvas);
    struct Restore {
        TCustomRudivoVoru& control;
        PrinterPort& printer;
        ~Restore() {
            printer.endDocument();
            control.UsePrinterCanvas(nullptr);
        }
    } restore{*this, printer};
    int y = 0;
    int pages = 0;
    printRange(canvas, printRect_.right > printRect_.left ? printRect_ : printer.pageRect(), firstLine, lastLine,
               0, [&] {
                   if (!printer.pageFinished(++pages))
                       return false;
                   printer.newPage();
                   return true;
               },
               y, false);
}

int TCustomRudivoVoru::printLinesInline(PrinterPort& printer, std::int32_t firstLine, std::int32_t lastLine, int y) {
    Canvas* canvas = printer.currentCanvas();
    if (!canvas)
        throw ERudivoVoru("No print job is running");
    ParseAllRequired();
    if (y < 0) {
        printer.newPage();
        y = 0;
    }
    // The job's font stays as the caller left it.
    canvas->save();
    UsePrinterCanvas(canvas);
    struct Restore {
        TCustomRudivoVoru& control;
        Canvas& canvas;
        ~Restore() {
            control.UsePrinterCanvas(nullptr);
            canvas.restore();
        }
    } restore{*this, *canvas};
    int pages = 0;
    printRange(*canvas, printRect_.right > printRect_.left ? printRect_ : printer.pageRect(), firstLine, lastLine,
               0, [&] {
                   if (!printer.pageFinished(++pages))
                       return false;
                   printer.newPage();
                   return true;
               },
               y, true);
    return y;
}

int TCustomRudivoVoru::PrintInline(PrinterPort& printer, int y) {
    return printLinesInline(printer, 0, INT32_MAX, y);
}

int TCustomRudivoVoru::PrintSelectionInLine(PrinterPort& printer, int y) {
    const auto [first, last] = selectionPrintLines();
    return printLinesInline(printer, first, last, y);
}

void TCustomRudivoVoru::Print(PrinterPort& printer) {
    printLines(printer, 0, INT32_MAX);
}

std::pair<std::int32_t, std::int32_t> TCustomRudivoVoru::selectionPrintLines() const {
    const TChRange sel = sel_.Normalised();
    // Text lines counted from 0.
    const std::int32_t first = TextLineOfRow(store_->InfoFromIndex(sel.chStart).start) - 1;
    const std::int32_t endRow = store_->InfoFromIndex(sel.chEnd).start;
    std::int32_t last = TextLineOfRow(endRow) - 1;
    // A selection ending at a line's first character leaves that line out.
    if (last > first && sel.chEnd == endRow)
        --last;
    return {first, last};
}

void TCustomRudivoVoru::PrintSelection(PrinterPort& printer) {
    const auto [first, last] = selectionPrintLines();
    printLines(printer, first, last);
}

} // namespace qorvi
