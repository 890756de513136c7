// The only source that includes the HTTP library: its headers are heavy,
// so the rest of the application sees plain Request and Response values.

#include "web/Server.h"

#include <array>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <csignal>
#include <list>
#include <mutex>
#include <thread>
#include <vector>

namespace pemar::web {
namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

constexpr std::size_t kHeaderLimit = 16 * 1024;
// What a closing connection still reads and drops (see Session::Linger).
constexpr std::size_t kLingerLimit = 8u << 20;

Request FromBeast(const http::request<http::string_body>& in) {
  Request r;
  r.method = std::string(in.method_string());
  r.target = std::string(in.target());
  for (const auto& field : in) {
    r.headers.emplace_back(AsciiLower(field.name_string()),
                           std::string(field.value()));
  }
  r.body = in.body();
  return r;
}

http::response<http::string_body> ToBeast(const Response& in, unsigned version,
                                          bool keep_alive) {
  http::response<http::string_body> out{static_cast<http::status>(in.status),
                                        version};
  out.set(http::field::server, "pemar");
  out.set(http::field::content_type, in.content_type);
  for (const auto& [name, value] : in.headers) out.insert(name, value);
  out.body() = in.body;
  out.keep_alive(keep_alive);
  out.prepare_payload();
  return out;
}

}  // namespace

// The listening socket, the sessions' threads and the event streams'
// threads.
struct Server::Impl {
  ServerOptions options;
  asio::io_context io;
  tcp::acceptor acceptor{io};
  Router* router = nullptr;

  std::mutex streams_lock;
  std::list<std::thread> stream_threads;
  std::vector<std::shared_ptr<tcp::socket>> stream_sockets;
  bool stopping = false;

  void Accept();
  void StartEventStream(tcp::socket socket, std::uint64_t after,
                        unsigned version);
  void CloseStreams();
};

namespace {

// One connection: reads a request, answers it, and reads the next while
// the client keeps the connection.
class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(tcp::socket socket, Server::Impl& server)
      : stream_(std::move(socket)), server_(server) {}

  void Start() { Read(); }

 private:
  void Read() {
    parser_.emplace();
    parser_->header_limit(kHeaderLimit);
    parser_->body_limit(server_.router->options().max_body);
    stream_.expires_after(server_.options.request_timeout);
    http::async_read(
        stream_, buffer_, *parser_,
        [self = shared_from_this()](beast::error_code ec, std::size_t) {
          self->OnRead(ec);
        });
  }

  void OnRead(beast::error_code ec) {
    if (ec == http::error::body_limit) {
      Response r = Response::Error(
          413, "the body is larger than " +
                   std::to_string(server_.router->options().max_body) +
                   " bytes");
      Write(ToBeast(r, 11, false));
      return;
    }
    if (ec == http::error::header_limit) {
      Write(ToBeast(Response::Error(431, "the request's headers are too large"),
                    11, false));
      return;
    }
    if (ec) {
      // A malformed request gets a plain 400; timeouts and closed
      // connections just end.
      if (ec.category() ==
              http::make_error_code(http::error::bad_target).category() &&
          ec != http::error::end_of_stream &&
          ec != http::error::partial_message) {
        Write(ToBeast(Response::Error(400, "the request is malformed"), 11,
                      false));
        return;
      }
      beast::error_code ignored;
      stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
      return;
    }
    const http::request<http::string_body>& in = parser_->get();
    Router::Answer answer = server_.router->Handle(FromBeast(in));
    if (answer.stream_events) {
      stream_.expires_never();
      server_.StartEventStream(stream_.release_socket(), answer.events_after,
                               in.version());
      return;
    }
    Write(ToBeast(answer.response, in.version(), in.keep_alive()));
  }

  void Write(http::response<http::string_body> response) {
    auto shared = std::make_shared<http::response<http::string_body>>(
        std::move(response));
    stream_.expires_after(server_.options.request_timeout);
    http::async_write(
        stream_, *shared,
        [self = shared_from_this(), shared](beast::error_code ec, std::size_t) {
          if (!ec && shared->keep_alive()) {
            self->Read();
            return;
          }
          self->Linger();
        });
  }

  // Ends a connection whose request may not have been read in full (a
  // body over the limit): stops sending, then reads and drops what the
  // client still sends, for a bounded time and amount, so that the client
  // sees the answer instead of a reset connection.
  void Linger() {
    beast::error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
    stream_.expires_after(std::chrono::seconds(2));
    Drain(std::make_shared<std::array<char, 16384>>(), 0);
  }

  void Drain(std::shared_ptr<std::array<char, 16384>> scratch,
             std::size_t dropped) {
    stream_.async_read_some(asio::buffer(*scratch),
                            [self = shared_from_this(), scratch, dropped](
                                beast::error_code ec, std::size_t n) {
                              if (ec || dropped + n > kLingerLimit) {
                                beast::error_code ignored;
                                self->stream_.socket().close(ignored);
                                return;
                              }
                              self->Drain(scratch, dropped + n);
                            });
  }

  beast::tcp_stream stream_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  Server::Impl& server_;
};

}  // namespace

void Server::Impl::Accept() {
  acceptor.async_accept(
      asio::make_strand(io), [this](beast::error_code ec, tcp::socket socket) {
        if (ec) {
          if (ec == asio::error::operation_aborted) return;
        } else {
          std::make_shared<Session>(std::move(socket), *this)->Start();
        }
        Accept();
      });
}

// An event stream writes from a thread of its own, waiting on the event
// log between writes; a comment line every 15 s finds a page that left.
void Server::Impl::StartEventStream(tcp::socket socket, std::uint64_t after,
                                    unsigned version) {
  auto shared = std::make_shared<tcp::socket>(std::move(socket));
  std::lock_guard<std::mutex> lock(streams_lock);
  if (stopping || stream_sockets.size() >= options.max_event_streams) {
    beast::error_code ignored;
    const std::string busy =
        "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\n"
        "Connection: close\r\n\r\n";
    asio::write(*shared, asio::buffer(busy), ignored);
    shared->close(ignored);
    return;
  }
  stream_sockets.push_back(shared);
  EventLog* log = &router->workspace().events();
  stream_threads.emplace_back([this, shared, after, version, log] {
    beast::error_code ec;
    std::string head = std::string(version == 10 ? "HTTP/1.0" : "HTTP/1.1") +
                       " 200 OK\r\nContent-Type: text/event-stream\r\n"
                       "Cache-Control: no-store\r\n"
                       "X-Content-Type-Options: nosniff\r\n"
                       "Connection: close\r\n\r\nretry: 1000\n\n";
    asio::write(*shared, asio::buffer(head), ec);
    std::uint64_t last = after;
    while (!ec && !log->closed()) {
      bool missed = false;
      const std::vector<Event> events =
          log->After(last, std::chrono::seconds(15), &missed);
      std::string frames;
      if (missed) frames += "event: reload\ndata: {}\n\n";
      for (const Event& e : events) {
        frames += EventFrame(e);
        last = e.sequence;
      }
      if (frames.empty()) frames = ": still here\n\n";
      if (!log->closed()) asio::write(*shared, asio::buffer(frames), ec);
    }
    shared->shutdown(tcp::socket::shutdown_both, ec);
    shared->close(ec);
    std::lock_guard<std::mutex> lock(streams_lock);
    std::erase(stream_sockets, shared);
  });
}

void Server::Impl::CloseStreams() {
  std::list<std::thread> threads;
  {
    std::lock_guard<std::mutex> lock(streams_lock);
    stopping = true;
    for (auto& s : stream_sockets) {
      beast::error_code ignored;
      s->shutdown(tcp::socket::shutdown_both, ignored);
    }
    threads.swap(stream_threads);
  }
  for (std::thread& t : threads) t.join();
}

Server::Server(ServerOptions options) : impl_(std::make_unique<Impl>()) {
  impl_->options = std::move(options);
}

Server::~Server() { Stop(); }

bool Server::Listen(std::string& error) {
  beast::error_code ec;
  const asio::ip::address address =
      asio::ip::make_address(impl_->options.host, ec);
  if (ec) {
    error = "\"" + impl_->options.host + "\" is not an IP address";
    return false;
  }
  const tcp::endpoint endpoint{address, impl_->options.port};
  tcp::acceptor& a = impl_->acceptor;
  a.open(endpoint.protocol(), ec);
  if (!ec) a.set_option(asio::socket_base::reuse_address(true), ec);
  if (!ec) a.bind(endpoint, ec);
  if (!ec) a.listen(asio::socket_base::max_listen_connections, ec);
  if (ec) {
    error = "cannot listen on " + impl_->options.host + ":" +
            std::to_string(impl_->options.port) + ": " + ec.message();
    beast::error_code ignored;
    a.close(ignored);
    return false;
  }
  return true;
}

std::uint16_t Server::port() const {
  beast::error_code ec;
  return impl_->acceptor.local_endpoint(ec).port();
}

void Server::Run(Router& router, bool stop_on_signal,
                 std::function<void()> on_signal) {
  impl_->router = &router;
  std::optional<asio::signal_set> signals;
  if (stop_on_signal) {
    signals.emplace(impl_->io, SIGINT, SIGTERM);
    signals->async_wait(
        [this, on_signal](beast::error_code ec, int /*signal*/) {
          if (ec) return;
          if (on_signal) on_signal();
          Stop();
        });
  }
  impl_->Accept();
  std::vector<std::thread> threads;
  for (int i = 1; i < impl_->options.threads; ++i) {
    threads.emplace_back([this] { impl_->io.run(); });
  }
  impl_->io.run();
  for (std::thread& t : threads) t.join();
  impl_->router->workspace().events().Close();
  impl_->CloseStreams();
  // Puts back the default action, so that a second Ctrl-C while the caller
  // writes its recovery copy stops at once.
  signals.reset();
}

void Server::Stop() {
  asio::post(impl_->io, [this] {
    beast::error_code ignored;
    impl_->acceptor.close(ignored);
    impl_->io.stop();
  });
}

struct Connection::Impl {
  asio::io_context io;
  beast::tcp_stream stream{io};
  std::string host;
  bool connected = false;
};

Connection::Connection(const std::string& host, std::uint16_t port)
    : impl_(std::make_unique<Impl>()) {
  impl_->host = host;
  beast::error_code ec;
  const asio::ip::address address = asio::ip::make_address(host, ec);
  if (ec) return;
  impl_->stream.socket().connect(tcp::endpoint{address, port}, ec);
  impl_->connected = !ec;
  impl_->host =
      (address.is_v6() ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

Connection::~Connection() {
  beast::error_code ignored;
  impl_->stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
}

ClientReply Connection::Send(
    const std::string& method, const std::string& target,
    const std::string& body,
    const std::vector<std::pair<std::string, std::string>>& headers) {
  ClientReply reply;
  if (!impl_->connected) return reply;
  http::request<http::string_body> request{http::string_to_verb(method), target,
                                           11};
  request.method_string(method);
  request.set(http::field::host, impl_->host);
  for (const auto& [name, value] : headers) request.set(name, value);
  request.body() = body;
  request.keep_alive(true);
  request.prepare_payload();
  beast::error_code ec;
  // A server may answer (413) before it has read the whole body and close;
  // its answer is still there to read.
  http::write(impl_->stream, request, ec);
  beast::flat_buffer buffer;
  http::response_parser<http::string_body> parser;
  parser.body_limit(64u << 20);
  http::read(impl_->stream, buffer, parser, ec);
  if (ec) return reply;
  const auto& response = parser.get();
  reply.status = response.result_int();
  reply.body = response.body();
  reply.content_type = std::string(response[http::field::content_type]);
  reply.set_cookie = std::string(response[http::field::set_cookie]);
  return reply;
}

ClientReply Fetch(
    const std::string& host, std::uint16_t port, const std::string& method,
    const std::string& target, const std::string& body,
    const std::vector<std::pair<std::string, std::string>>& headers) {
  Connection connection(host, port);
  return connection.Send(method, target, body, headers);
}

}  // namespace pemar::web
