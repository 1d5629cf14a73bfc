#pragma once

// How a document's password protects it.
enum class Protection {
    None,        // no password
    Compatible,  // the additive cipher older versions read
    Encrypted,   // the sealed envelope: authenticated, the key derived slowly
};
