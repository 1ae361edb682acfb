#pragma once

// Makes the pictures under ":/pictures/" available; safe to call more than once.
// (Resources of a static library are not registered unless something asks for them.)
void initVaultryPictures();
