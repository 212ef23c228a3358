#pragma once

// A printer as the editor control prints to it: a job of pages, each drawn
// on the job's canvas in device pixels. The Qt layer implements it with
// QPrinter (paper or PDF); tests use a recording fake.

#include "platform/canvas.h"

#include <string>

namespace qorvi {

class PrinterPort {
public:
    virtual ~PrinterPort() = default;
    // Starts a job named `title`; the canvas draws its first page.
    virtual Canvas& beginDocument(const std::string& title) = 0;
    virtual void newPage() = 0;
    // Ends the job; called however printing ends.
    virtual void endDocument() = 0;
    // The printable area of a page in device pixels.
    virtual CanvasRect pageRect() const = 0;
    // The canvas of the job running now (null: none), for texts printed
    // into a job another caller started.
    virtual Canvas* currentCanvas() { return nullptr; }
    // Called as each page is finished, with the pages done so far: false
    // stops printing (the user cancelled); the job still ends.
    virtual bool pageFinished(int /*pagesDone*/) { return true; }
};

} // namespace qorvi
