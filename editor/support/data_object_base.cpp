#include "editor/support/data_object_base.h"

#include "editor/support/memory_stream.h"
#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"

#include <typeinfo>

namespace qorvi {

std::unique_ptr<TSM_Base> TSM_Base::Clone() const {
    std::unique_ptr<TSM_Base> copy = makeEmpty();
    copy->Assign(*this);
    return copy;
}

void TSM_Base::Assign(const TSM_Base& source) {
    // Another class's stream form would be read as garbage.
    if (typeid(source) != typeid(*this))
        throw ERudivoVoru(formatMsg(kMsgCannotAssign, source.ClassName(), ClassName()));
    copyThroughStream(source);
}

void TSM_Base::copyThroughStream(const TSM_Base& source) {
    if (&source == this)
        return;
    TMemoryStream buffer;
    source.SaveToStream(buffer);
    buffer.SetPosition(0);
    LoadFromStream(buffer);
}

} // namespace qorvi
