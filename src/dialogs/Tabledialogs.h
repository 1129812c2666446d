#pragma once

class ResultsTablePage;

// The results page asks its two confirmations through these windows, opened over its window,
// and prints through the print dialog ("Распечатать..." is enabled here).
void connectTableDialogs(ResultsTablePage& page);
