// The settings bundle's executable, MornaqPrefs.bundle/MornaqPrefs. The
// Settings app opens it and then asks it to register its classes into the
// app's process (see platform/preferences/preference_loader.h for why this is
// a call rather than a module initialiser).
#include "MornaqPrefs/pages/page_classes.h"

extern "C" __attribute__((visibility("default"))) void PSBundleRegisterClasses() {
  mornaqprefs::registerPageClasses();
}
