#pragma once

// Base of the editor's data objects (character groups, keyword tables,
// templates, the key map, the settings): each can copy itself and travel
// through a byte stream. Clone and Assign go through a memory stream - the
// source saves itself and the target loads - so the stream form is the one
// definition of an object's contents.

#include <memory>

namespace qorvi {

class TStream;

class TSM_Base {
public:
    virtual ~TSM_Base() = default;

    // A new object of the same class with the same contents.
    virtual std::unique_ptr<TSM_Base> Clone() const;
    // Takes over the contents of `source`.
    virtual void Assign(const TSM_Base& source);
    virtual void SaveToStream(TStream& stream) const = 0;
    virtual void LoadFromStream(TStream& stream) = 0;

    // The class name shown in "Cannot assign ..." messages.
    virtual const char* ClassName() const = 0;

protected:
    TSM_Base() = default;
    TSM_Base(const TSM_Base&) = default;
    TSM_Base& operator=(const TSM_Base&) = default;

    // An empty object of the same class, for Clone.
    virtual std::unique_ptr<TSM_Base> makeEmpty() const = 0;
    // Saves `source` and loads the result into this object.
    void copyThroughStream(const TSM_Base& source);
};

} // namespace qorvi
