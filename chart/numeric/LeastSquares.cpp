#include "numeric/LeastSquares.h"

#include "util/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <limits>

void SingularValueDecomposition(Eigen::MatrixXd& A, Eigen::VectorXd& W, Eigen::MatrixXd& V) {
    const Eigen::Index m = A.rows(), n = A.cols();
    if (m < n)
        throw EVxMathError("SingularValueDecomposition: Matrix has wrong dimension");
    if (W.size() < n)
        throw EVxMathError("SingularValueDecomposition: Output vector has wrong dimension");
    if (V.rows() != n || V.cols() != n)
        throw EVxMathError("SingularValueDecomposition: Output matrix has wrong dimension");
    // Tall matrices are reduced by a pivoted QR first, then the small triangle is
    // diagonalised by two-sided Jacobi rotations: accurate singular values and vectors.
    Eigen::JacobiSVD<Eigen::MatrixXd, Eigen::ColPivHouseholderQRPreconditioner> svd(
        A, Eigen::ComputeThinU | Eigen::ComputeThinV);
    A = svd.matrixU();
    W.head(n) = svd.singularValues();
    V = svd.matrixV();
}

double SvdCutoff(const Eigen::VectorXd& W, Eigen::Index Rows) {
    const double largest = W.size() ? W.maxCoeff() : 0.0;
    return largest * std::numeric_limits<double>::epsilon() *
           static_cast<double>(std::max<Eigen::Index>(Rows, W.size()));
}

Eigen::VectorXd SvdBackSubstitution(const Eigen::MatrixXd& U, const Eigen::VectorXd& W,
                                    const Eigen::MatrixXd& V, const Eigen::VectorXd& B) {
    const double cutoff = SvdCutoff(W, U.rows());
    Eigen::VectorXd tmp = U.transpose() * B;
    for (Eigen::Index j = 0; j < tmp.size(); ++j)
        tmp[j] = (W[j] > cutoff && W[j] != 0) ? tmp[j] / W[j] : 0.0;
    return V * tmp;
}

std::vector<double> SvdCoefficientErrors(const Eigen::VectorXd& W, const Eigen::MatrixXd& V,
                                         Eigen::Index Rows) {
    const double cutoff = SvdCutoff(W, Rows);
    std::vector<double> errors(static_cast<std::size_t>(V.rows()), 0.0);
    for (Eigen::Index k = 0; k < V.rows(); ++k) {
        double s = 0;
        for (Eigen::Index j = 0; j < V.cols(); ++j)
            if (W[j] > cutoff && W[j] != 0)
                s += V(k, j) * V(k, j) / (W[j] * W[j]);
        errors[static_cast<std::size_t>(k)] = std::sqrt(s);
    }
    return errors;
}

double FittedValue(const std::vector<double>& Coeffs, const TVxBasisFunction& Basis, double X) {
    double s = 0;
    if (!Basis) {
        for (auto it = Coeffs.rbegin(); it != Coeffs.rend(); ++it)
            s = s * X + *it;
        return s;
    }
    for (std::size_t j = 0; j < Coeffs.size(); ++j)
        s += Coeffs[j] * Basis(X, static_cast<int>(j));
    return s;
}

TVxLeastSquaresResult GeneralLinearLeastSquares(const TVxSamples& Data, int Order,
                                                const TVxBasisFunction& Basis) {
    Order = std::clamp(Order, 0, MaxCoefficientCount - 1);
    const Eigen::Index cols = Order + 1;
    TVxLeastSquaresResult r;
    r.AverageX = r.AverageY = r.VarianceX = r.VarianceY = r.SumOfResiduals = r.QRel = 0;
    r.Coeffs.assign(static_cast<std::size_t>(cols), 1.0);
    r.DeltaCoeffs.assign(static_cast<std::size_t>(cols), 1.0);

    const std::size_t n = Data.Count();
    Eigen::Index m = 0;
    double w = 0, swx = 0, swy = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double wi = Data.Wi(i);
        if (!(wi > 0))
            continue;
        ++m;
        w += wi;
        swx += wi * Data.X[i];
        swy += wi * Data.Y[i];
    }
    if (w != 0) {
        r.AverageX = swx / w;
        r.AverageY = swy / w;
    }
    if (m < cols)
        throw EVxMathError("Not enough data points to calculate function");
    if (m == cols) {
        std::vector<double> xs;
        for (std::size_t i = 0; i < n; ++i)
            if (Data.Wi(i) > 0)
                xs.push_back(Data.X[i]);
        std::sort(xs.begin(), xs.end());
        if (std::adjacent_find(xs.begin(), xs.end()) != xs.end())
            throw EVxMathError("Not enough data points to calculate function");
    }

    // [A | b] is reduced to its triangle R block by block (tall-skinny QR): the current
    // R on top, up to Block weighted rows below, one Householder QR per block. The work
    // stays in cache and A is never stored whole.
    constexpr Eigen::Index Block = 1024;
    Eigen::MatrixXd stack = Eigen::MatrixXd::Zero(cols + Block, cols + 1);
    Eigen::Index fill = cols;
    auto reduce = [&] {
        Eigen::Ref<Eigen::MatrixXd> used = stack.topRows(fill);
        Eigen::HouseholderQR<Eigen::Ref<Eigen::MatrixXd>> qr(used);
        stack.topRows(cols) = stack.topRows(cols).triangularView<Eigen::Upper>();
        fill = cols;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const double wi = Data.Wi(i);
        if (!(wi > 0))
            continue;
        const double s = std::sqrt(wi), x = Data.X[i];
        if (Basis) {
            for (Eigen::Index j = 0; j < cols; ++j)
                stack(fill, j) = Basis(x, static_cast<int>(j)) * s;
        } else {
            double p = s;
            for (Eigen::Index j = 0; j < cols; ++j, p *= x)
                stack(fill, j) = p;
        }
        stack(fill, cols) = Data.Y[i] * s;
        if (++fill == cols + Block)
            reduce();
    }
    if (fill > cols)
        reduce();
    // R = U diag(sv) V^T gives the singular values and right vectors of A.
    const Eigen::VectorXd qtb = stack.col(cols).head(cols);
    Eigen::MatrixXd u = stack.topLeftCorner(cols, cols);
    Eigen::VectorXd sv(cols);
    Eigen::MatrixXd v(cols, cols);
    SingularValueDecomposition(u, sv, v);
    const double cutoff = SvdCutoff(sv, m);
    Eigen::VectorXd scaled = u.transpose() * qtb;
    for (Eigen::Index j = 0; j < cols; ++j)
        scaled[j] = (sv[j] > cutoff && sv[j] != 0) ? scaled[j] / sv[j] : 0.0;
    const Eigen::VectorXd coeffs = v * scaled;
    r.Coeffs.assign(coeffs.data(), coeffs.data() + cols);
    r.DeltaCoeffs = SvdCoefficientErrors(sv, v, m);

    double sxx = 0, syy = 0, sor = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double wi = Data.Wi(i), x = Data.X[i], y = Data.Y[i];
        const double d = y - FittedValue(r.Coeffs, Basis, x);
        sxx += wi * (x - r.AverageX) * (x - r.AverageX);
        syy += wi * (y - r.AverageY) * (y - r.AverageY);
        sor += wi * d * d;
    }
    r.SumOfResiduals = sor;
    r.Probability = syy > 0 ? 1 - sor / syy : 1.0;
    // A total weight too small for the divisions leaves the statistics at 0.
    r.VarianceY = w > 1 ? syy / (w - 1) : 0.0;
    r.VarianceX = w > 1 ? sxx / (w - 1) : 0.0;
    r.QRel = w > Order ? std::sqrt(sor / (w - Order)) : 0.0;
    return r;
}

TVxLeastSquaresResult PolynomialFit(const TVxSamples& Data, int Order) {
    return GeneralLinearLeastSquares(Data, Order, {});
}
