// The charts a graph id names in graph_rep (meta database), each shown as one printable page.
#pragma once

namespace zl::reportserver {

// Draws chart `graphId` for the business unit and shows it in a modal print preview.
// Raises what ended the chart.
void PrintGraphReport(int graphId, int busUnitId, int reportKey, int customerId);

}  // namespace zl::reportserver
