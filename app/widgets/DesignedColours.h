#pragma once

#include <QColor>

class QWidget;

// Colours the windows were designed with (navy ink, green counters, a white paper) kept
// readable under every theme: a designed text colour moves away from a background it cannot be
// read on, and is worked out again whenever the theme changes.

// WCAG contrast ratio of two colours, 1 (none) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
// Whether text on this colour should be light.
bool IsDarkColour(const QColor& colour);
// `designed` when it reaches `minimum` against `background`; otherwise the same hue made lighter
// (on a dark background) or darker (on a light one) until it does.
QColor ReadableOn(const QColor& designed, const QColor& background, double minimum = 4.5);

// Sets the widget's text colour (its foreground role) to `designed`, made readable on what lies
// behind the widget now and again after every theme change.
void SetDesignedTextColour(QWidget* widget, const QColor& designed);
// The colour behind a widget's text: the nearest widget that fills its own background.
QColor BackgroundBehind(const QWidget* widget);
// Fills the widget with `designed` (the white paper of a data window) under a light theme, and
// with the theme's own window colour under a dark one, where its captions are light.
void SetDesignedBackground(QWidget* widget, const QColor& designed);
// Runs after a theme change, when the backgrounds have their new colours; with a widget, for it
// and what it holds only (after its own background changed).
void ReapplyDesignedColours();
void ReapplyDesignedColours(QWidget* root);
