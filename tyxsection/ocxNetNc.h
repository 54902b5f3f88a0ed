#pragma once
// The control's own netCDF reader: the header model, coordinate recognition, the coordinate
// arrays and time axis, and the strided reads. Local files and OPeNDAP URLs alike. Messages
// go to the ErrorMessage the caller passes; message boxes to the Ui in use.
#include "tyxsection/TyxModel.h"

#include <string>

// ---- Header model ----

// Reads the whole header of path or URL fName into ncf: dimensions, variables with their
// attributes, global attributes. The record is built afresh and taken over only when the read
// succeeds (a failed read leaves ncf as it was, its file closed). 1 on success, 0 on failure
// with the reason in errorMessage. With closeAfter 1 the file is closed again, else it stays
// open under ncf.ncid. A file the record had open before is closed.
Long ocxGetNCHeader(OcxNcf& ncf, const std::string& fName, Long closeAfter,
                    std::string& errorMessage);
// Opens FName (which 1) or FName2 (which 2) read-only: the library's id, or -1 for an empty
// name (quietly) or a refused open (a "NetCDF Error" box with the library's text).
Long OpenNc(OcxNcf& ncf, Long which);
// Closes the file (a failure is shown in a "NetCDF Error" box) and sets ncid to -1 in every
// case; nothing to do for an id below 0.
void CloseNc(Long& ncid);
// The trimmed value of attribute attrName of variable varName, of the dataset for an empty
// varName; names compared without regard to case. "" when there is none.
std::string ocxGetAttVal(const OcxNcf& ncf, const std::string& varName,
                         const std::string& attrName);

// ---- Coordinate recognition ----

// Finds the longitude, latitude, time and vertical coordinates and the cell dimensions by
// names and units. 1 recognised; -1 no longitude, -2 no latitude, -3 neither a regular grid
// nor a cell dimension.
Long ocxPickCoordVariables(OcxNcf& ncf);
// True when a unit attribute of v gives radians (positions kept in degrees once read).
bool ocxInRadians(const OcxVari& v);
// 1 when variable nv ends with (longitude, latitude), 2 with (latitude, longitude), else -1.
Long GetGridDimOrder(const OcxNcf& ncf, Long nv);

// ---- Coordinate arrays and time axis ----

// Reads the time axis, the vertical coordinate and the grid positions of the recognised
// coordinates into geo (fresh arrays: nothing of another dataset stays), and the time
// labels and grid spacing into ncf. 1 on success, else -1 (reason in errorMessage, except
// for a dataset without any horizontal coordinate). The file is closed on return.
Long SetGeoWindow(OcxNcf& ncf, GeoArrays& geo, std::string& errorMessage);
// The date of time step n (1 To nTime) as a serial of the axis's calendar; Date 0 for a unit
// without a base date, and on failure ("Error: " and the error in errorMessage).
Date ocxGetDate(const OcxNcf& ncf, const GeoArrays& geo, Long n, std::string& errorMessage);

// ---- Strided reads ----

// Reads the window of variable nvar (1-based) from the open file ncid as Singles into
// values(1 .. tcount): scale and offset applied, values missing by the variable's missing
// value (or not a number) set to noVal. tcount must be the product of the counts, and values
// must hold them. Returns the number of valid values; the library's status (below 0) when
// its read fails; 0 for a refused call (message in errorMessage, values untouched).
Long GetVarasAny(Long ncid, const OcxNcf& ncf, Long nvar, float noVal, VArray<float>& values,
                 Long tcount, const ReadWindow& window, std::string& errorMessage);
