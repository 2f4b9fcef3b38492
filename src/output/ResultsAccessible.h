#pragma once

namespace culvex {

// Lets screen readers read the results list: the list as a list, each row as an item with
// its shown text, selection and place on screen. Row items are made only when a tool asks
// for them. Safe to call more than once.
void installResultsAccessibility();

}  // namespace culvex
