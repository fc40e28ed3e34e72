#pragma once

// What a screen reader reads of a TextView: its text, caret and selection in byte offsets (each
// byte is one character, so offsets and positions agree), and where each character stands.
// Installed once, for every TextView.
void InstallTextViewAccessibility();
