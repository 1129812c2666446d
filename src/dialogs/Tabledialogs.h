#pragma once

class ResultsTablePage;

// The results page asks its two confirmations through these windows, opened over its window.
void connectTableDialogs(ResultsTablePage& page);
