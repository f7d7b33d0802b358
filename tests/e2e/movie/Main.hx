import flash.events.Event;
import flash.events.IOErrorEvent;
import flash.events.ProgressEvent;
import flash.events.SecurityErrorEvent;
import flash.external.ExternalInterface;
import flash.net.Socket;
import flash.net.URLLoader;
import flash.net.URLRequest;

// The end-to-end test's movie: tells the page it runs, with two of its start parameters. When
// its configuration file names a game server ("HOST PORT"), it sends that server a greeting
// over a flash.net.Socket and reports what comes back.
class Main {
    static inline var greeting = "hello from the movie";

    static function main() {
        var parameters:Dynamic = flash.Lib.current.loaderInfo.parameters;
        report("started", parameters.user + " " + parameters.locale);
        var loader = new URLLoader();
        loader.addEventListener(Event.COMPLETE, function(_) {
            var server = StringTools.trim(loader.data).split(" ");
            talkTo(server[0], Std.parseInt(server[1]));
        });
        loader.addEventListener(IOErrorEvent.IO_ERROR, function(_) {});
        loader.load(new URLRequest(parameters.config));
    }

    static function talkTo(host:String, port:Int) {
        var socket = new Socket();
        var received = "";
        socket.addEventListener(Event.CONNECT, function(_) {
            socket.writeUTFBytes(greeting);
            socket.flush();
        });
        socket.addEventListener(ProgressEvent.SOCKET_DATA, function(_) {
            received += socket.readUTFBytes(socket.bytesAvailable);
            if (received.length >= greeting.length) {
                report("echoed", received);
                socket.close();
            }
        });
        socket.addEventListener(IOErrorEvent.IO_ERROR, function(event:IOErrorEvent) report("socketFailed", event.text));
        socket.addEventListener(SecurityErrorEvent.SECURITY_ERROR, function(event:SecurityErrorEvent) report("socketFailed", event.text));
        socket.connect(host, port);
    }

    static function report(name:String, detail:String) {
        ExternalInterface.call("quorinGameEvent", name, detail);
    }
}
