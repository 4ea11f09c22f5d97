// A module's code lives in its static library; this file only gives the module target a source.
