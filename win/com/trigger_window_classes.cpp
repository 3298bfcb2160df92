// The trigger window's document, frame and view classes, as the add-in's document template
// makes them. The trigger window is not part of the add-in yet: its template has no classes,
// and the trigger command tells the host log that the window is not available.
#include "win/com/doc_template.h"

namespace win::com {

std::unique_ptr<DocumentClasses> TriggerWindowClasses() { return nullptr; }

}  // namespace win::com
