#pragma once
// Every class of the settings bundle, registered into the current process
// under its name so that rows and plists can name them.

namespace mornaqprefs {

void registerPageClasses();

}  // namespace mornaqprefs
