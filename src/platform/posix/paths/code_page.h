// The layer's code page, read once from the locale variables.
#pragma once

// Reads the locale variables again. The layer reads them on first use; tests that
// switch locales within one process call this after changing the environment.
void reload_code_page();
