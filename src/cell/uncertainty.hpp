// Standard uncertainties to first order, the inputs taken as uncorrelated:
// sigma_f^2 = sum over i of (df/dx_i sigma_i)^2. The derivatives are
// carried forward with each value (dual numbers) through the geometry in
// double precision from the values given, products rounded before they
// are added, so that they are the same bits on every platform.
#pragma once
#include "cell/cell.hpp"

// A value and its derivatives by the six numbers given.
struct dual {
  double v, g[6];
};

// Everything a conversion gives, with its derivatives: the reciprocal
// cell in convention c; angles in degrees.
struct propagation {
  dual form[6], direct[6], recip[6], volume, recip_volume;
};
// in: the six numbers of a mode, a reciprocal cell in convention c.
propagation propagate(int mode, int c, const double (&in)[6]);

// sqrt(sum of (g_i su_i)^2): the s.u. of x for the s.u. of the given.
double su_of(const dual& x, const double (&su)[6]);

// d of h k l from a form with derivatives, and 2 theta (degrees) for
// wavelength lambda; NaN values where there is none.
void reflection_duals(const dual (&form)[6], int h, int k, int l, double lambda,
                      dual& d, dual& two_theta);
